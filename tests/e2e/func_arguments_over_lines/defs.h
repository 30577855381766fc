#define MAX(a,b) ((a)>(b)?(a):(b))
#define SQ(x) ((x)*(x))
