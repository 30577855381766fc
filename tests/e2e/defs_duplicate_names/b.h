#define C 3
#  define A 4
#define C 5
#if defined(C)
#if defined(D)
#define B 6
