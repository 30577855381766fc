#define LEVEL 3
#ifdef LEVEL trailing
#endif
