#define A B
#define B A
