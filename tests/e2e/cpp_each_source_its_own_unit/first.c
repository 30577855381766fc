#define LOCAL 1
#undef SHARED
int first;
