#define C(x) x /* trailing comment
#define Q "
#define N 1
