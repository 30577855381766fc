#if !defined LOOSE
#define LOOSE
#endif
int after_the_guard;
