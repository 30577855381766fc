#define a b(
#define b(x) q
int a\u00aa);
#define x X
xéx \u00aa
#define é 2
