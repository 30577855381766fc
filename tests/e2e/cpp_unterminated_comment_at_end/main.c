#define N 1
int a = N; /* the comment
never ends N
