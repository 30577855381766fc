#define PAIR(a, b) {a, b}
#define CAT(a, b) a ## b
#define N 10
int p[] = PAIR(1);
int q[] = PAIR(1, 2, 3);
int r = CAT(+, -) N;
_Pragma(N)
int s = PAIR(N,
