#define m2(\u00c1) \u00c1
#define m2(\u00C1) \u00c1
#define ok(\u00c1, b) \u00c1 b
#define ok(\u00c1, b) \u00c1 b
#define q(é, \u00e8) \u00e9 è
#define q(é, \u00e8) \u00e9 è
#define r(\u00c1) 1
#define r(Á) 1
m2(1) ok(2, 3) q(4, 5)
#define s(a, \u00c1) a \u00c1
#define s(a, \u00C1) a \u00c1
s(6, 7)
