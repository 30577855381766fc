#define F(x) [x]
F
#define Y
(1)
F(
#if 0
#define Z
#else
# 
#endif
2) F(3
#undef F
)
F(4
