#define A 1
#define B(x) x
