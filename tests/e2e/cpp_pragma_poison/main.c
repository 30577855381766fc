#define OLD 1
#pragma GCC poison gets OLD
#pragma GCC poison 3 later
int x = gets;
#define gets 2
#undef gets
#ifdef gets
int skipped;
#endif
#ifndef gets
int skipped_too;
#endif
#if defined(gets) || OLD
#endif
_Pragma("GCC poison soon") soon
#define P(x) _Pragma(#x)
P(GCC poison viaP) viaP later
#if 0
gets
#endif
#define STR(x) #x
const char *s = STR(gets);
#pragma inline gets
