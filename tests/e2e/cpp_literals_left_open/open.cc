int a = 1'000'0;
#if 1'0 == 10
int b = 'x;
#endif
const char* s = "a\
;
#if 0
don't
#endif
