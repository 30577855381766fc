#define (x) 1
#define A 2
#define3
