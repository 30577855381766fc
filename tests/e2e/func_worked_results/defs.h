#define MAX(a,b) ((a)>(b)?(a):(b))
#define SQ(x) ((x)*(x))
#define SUB(a , b) a-b
#define AB(a,b) ab+a_b+a+b
#define PICK(a) [a]
#define PUTS(s) puts(s)
#define UP(n) n
