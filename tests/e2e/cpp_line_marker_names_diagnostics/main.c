# 10 "lib.h" 3
#ifdef X
#endif X
#define B!
# 20 "main.c"
#ifdef X junk
#endif
#line 7 "other.c"
#define C!
