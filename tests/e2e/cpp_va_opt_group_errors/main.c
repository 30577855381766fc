#define ERR4(x,...) __VA_OPT__
#define ERR7(x,...) __VA_OPT__(__VA_OPT__)
#define ERR7(x,...) x
#define h(...) __VA_OPT__(. ## !)
#define g(...) #__VA_OPT__(. ## !)
#define k(x,...) #__VA_OPT__(x ## !)
ERR4(1, 2) ERR7(1, 2)
h(0)
g(
0)
k(.,1)
