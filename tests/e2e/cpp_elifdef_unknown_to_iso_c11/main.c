#define A
#if 0
#elifdef A
skipped: no directive ends the group
#else
taken
#endif
#if 1
#elifndef A
#endif
#if 1
#else
#else
#endif
