#define P(x) _Pragma(#x)
#define NAME "n.h" _Pragma("GCC poison in_include")
#include NAME
int in_include;
P(GCC poison late) P(message("kept")) P(once) late
#line 20 P(in_line)
int in_line;
#define OLD_BODY spent
#define DO(x) _Pragma(#x) x
#pragma GCC poison spent
OLD_BODY DO(GCC poison inside) inside
