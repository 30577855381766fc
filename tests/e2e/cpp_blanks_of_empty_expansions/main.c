#define NONE
#define CALL() NONE
#define ID(x) x
#define STR(x) #x
#define XSTR(x) STR(x)
#define PAIR NONE NONE
#define LEFT(x) NONE x
#define TAIL(x) x NONE
#define WRAP(a, b) [a b]
XSTR(a NONE*b) XSTR(a NONE *b) XSTR((NONE*b)) XSTR(a CALL()*b)
XSTR(a ID(*)b) XSTR(ID( a)*b) XSTR(a PAIR*b) XSTR(|LEFT(|)) XSTR(|CALL()LEFT(|))
XSTR(TAIL(|)|) XSTR(WRAP(,)) XSTR(WRAP(x,)) XSTR(WRAP(NONE, y))
a NONE*b (NONE*b) [ID()] WRAP(, y)
#line 20 XSTR(a ID(*)b)
__FILE__
#include XSTR(p/ ID(q).h)
