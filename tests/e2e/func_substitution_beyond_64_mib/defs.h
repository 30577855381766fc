#define F(a,b,c) a
