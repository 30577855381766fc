#define A B
#define B C
#define C 1
