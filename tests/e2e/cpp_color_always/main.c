#define B 2
#define A (B+B)
int x = A;
