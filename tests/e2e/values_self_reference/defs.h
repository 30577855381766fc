#define A A+1
