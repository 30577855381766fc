#define N 10
int a[N];
