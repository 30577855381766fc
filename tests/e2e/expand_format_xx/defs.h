#define A '1' + B
#define B 2
