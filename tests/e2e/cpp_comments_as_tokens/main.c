#define e(a) a
#define f(x) [x]
#define s(a) #a
#define P(a,b) a##b
#define g /* dropped with the directive */ 2
f(/*1*/ a /*2*/) f(a/**/b) g
f /* no call */ (1)
s(x /* in */ y) s(a // to the line end */ here
)
e(1 ///
) e(f(
/* across
lines */ 2))
P(x,/**/)
/**/ #define not_a_directive 1
# /* a directive */ define d 3
d not_a_directive
#if 0
/**/ #else
skipped
#endif
