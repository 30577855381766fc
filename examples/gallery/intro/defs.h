#define N 10
#define TWICE(v) ((v)+(v))
