#define N 10
#define M N
#define FN(a, b) ((a) * 3 + (b))
#define WRAP(x) FN(x, N)
#define OPEN(x) FN(x, N
#define Q "q" N
#define Q2 Q
#define Q3 Q2
#define SUM(a, b) a + b
