#define F(x) x
#define D defined(X) && !defined X
#if F(defined X)
#endif
#if D
#elif defined D
#endif
#warning not shown
