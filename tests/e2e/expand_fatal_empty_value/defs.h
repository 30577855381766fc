#define EMPTY
#define N 1
