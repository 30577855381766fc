#define LEVEL 1
#define LEVEL 2
#warning LEVEL changed
#ifdef LEVEL extra
#endif
int level = LEVEL;
