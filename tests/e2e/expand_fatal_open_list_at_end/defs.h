#define F(a) [a]
#define N 1
