#define t(a,b) a b
t(,)
t(1,)
t(,2)
#define v(a,...) a
v()
v(1)
v(,)
v(1,)
#define w(a,b...) a
w(1)
w()
#define s(a,b) #a b ## a
s(,x)
#define q(a) #a %:a
q()
#define r(a,b) #a #b
r(,)
