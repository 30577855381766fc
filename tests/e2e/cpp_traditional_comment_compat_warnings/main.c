#define f(x) x
#define g(x) x / 2
f(g) (3) f 2 f(g) 3
 #define IND 1
# define SPACED 1
#pragma whatever
 #pragma hidden
#if 0
#elif 1LL
 #else
#endif
#define s(arg, h2) "arg h2x" 'h2' "arg2"
/* a /* b */ /*/ c */ "/*" '/*'
// one \
two
int not, xor_eq = f(and);
#include "sys.h"
int b = sys_f;
