#define S(s) #s
#define S(s) # s
#define G(a,b) a ##b
#define G(a,b) a##b
#define H(a,b) a ## b
#define H(a,b) a##b
#define I(a,b) a## b
#define I(a,b) a ##b
#define A 1 +2
#define A 1 + 2
#define B 1  +  2
#define B 1 + 2
#define C(x) x #x
#define C(x) x # x
#define D(x) x#x
#define D(x) x #x
#define E # x
#define E #x
#define K(x) #x y
#define K(x) #x  y
#define L(x) x/**/#x
#define L(x) x #x
#define M(x) #/**/x
#define M(x) # x
#define N(a) a##a
#define N(a) a/**/##a
#define P(x) #x
#define P(x) #x/**/
#define R(a) #a
#define R(a) %:a
#define T(a,b) a##b
#define T(a,b) a%:%:b
