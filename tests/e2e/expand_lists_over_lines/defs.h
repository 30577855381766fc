#define F(a, b) a - b
#define N 7
