#define N 1
