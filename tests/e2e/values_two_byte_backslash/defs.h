#define N 10
#define J N •\ N
