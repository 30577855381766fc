#define N 10
#define TWICE(v) ((v)+(v))
#define ONE(x) TWO(x)
#define TWO(x) THREE(x) + N
#define THREE(x) FOUR(x)
#define FOUR(x) [x]
#define G TWICE(K)
#define K "k" N
