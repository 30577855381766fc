#define F(x) ((x)*2)
#define G F(1)
#define H(N) N*2
#define N 10
