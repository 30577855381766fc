#define (x) 1
