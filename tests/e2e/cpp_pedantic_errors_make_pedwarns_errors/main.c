#define EMPTY
#define A"x"
#include "other.h" EMPTY
#ifdef A extra
#endif
#line 40
#include "other.h" more
int a = A;
#define A "y"
#undef __STDC__
