#define A"x"
#ifdef A extra
#endif
#warning hidden too
#error shown
int a = A;
