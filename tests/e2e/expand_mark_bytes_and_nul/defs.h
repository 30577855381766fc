#define V abcd
#define F(p) [p]
