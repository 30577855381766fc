#define A 1
#define F(x) ((x) + A)
#define B A
