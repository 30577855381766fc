# 10 "main.c"
int a;
#line 20
int b;
# 30 "other.c" 1
int c;
#if 0
# 40 "skipped.c"
#endif
