#define \u00e9t\u00e9 1
#define S(x) #x
#define CAT(a, b) a##b
#define P(\u00e9) \u00e9 é #é
été \U000000e9t\u00E9 S(\u00e9t\u00e9) CAT(\u00e9, t\u00e9) P(2)
#undef été
#ifndef \u00e9t\u00e9
gone \u00e9t\u00e9
#endif
#define x\u00c0 0\u00c0.p
#if defined(xÀ) && !defined(x)
x\u00c0 xÀ
#endif
x×y \u00e
#define \u0041B 3
#define \u00d7 4
AB
#define M x\u00d7y
int \u0301a = M + x\u00d7y \u00e;
