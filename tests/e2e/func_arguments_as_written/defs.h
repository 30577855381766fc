#define SHOW(v) show(v)
#define PAIR(a, b) {a; b}
