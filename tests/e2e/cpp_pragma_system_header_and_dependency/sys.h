#define R 1
#define R 2
 #pragma GCC system_header
#define R 3
#define f(x) x
#define F 1U
