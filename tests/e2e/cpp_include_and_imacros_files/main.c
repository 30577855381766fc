#ifdef VERSION
int v = VERSION, m = MAX(VERSION, FROM_CHAIN);
#endif
const char *w = WHERE;
