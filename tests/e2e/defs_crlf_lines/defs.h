#define N 42
#define SUM(a, b) ((a) + (b))
#define LONG 1 + \
  2
#define CR_INSIDE xy
