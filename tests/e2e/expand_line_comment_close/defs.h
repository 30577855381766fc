#define N 1
#define a 2
#define b 3
#define FOO 4
