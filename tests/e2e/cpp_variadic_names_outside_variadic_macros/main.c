#define ID(x) x
#define STR(x) #x
#define DROP(x) 0
#define FROM_BODY __VA_ARGS__
#define OPT(...) __VA_OPT__(x) __VA_ARGS__
int a = __VA_ARGS__ + __VA_ARGS__;
int b = ID(__VA_ARGS__) + DROP(__VA_OPT__);
const char *c = STR(__VA_ARGS__);
int d = FROM_BODY + OPT(1);
#if 0
__VA_ARGS__
#endif
#if defined(__VA_ARGS__) || __VA_ARGS__
#endif
#ifndef __VA_ARGS__
int not_defined;
#endif
#undef __VA_ARGS__
#define __VA_ARGS__ 1
int e = __VA_ARGS__;
#ifdef __VA_ARGS__
int defined_now;
#endif
#undef __VA_ARGS__
int f = __VA_ARGS__;
#pragma inline __VA_ARGS__
#ident "v" __VA_ARGS__
