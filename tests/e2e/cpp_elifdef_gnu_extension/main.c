#define A
#if 0
#elifdef B
#elifdef A
taken: changes what is read
#elifndef A
after a taken group
#endif
#ifdef A
#elifdef A
#elifdef B
#endif
#if 0
#if 1
#elifdef A
#endif
#endif
#if 1
#else
#elifndef B
#endif
