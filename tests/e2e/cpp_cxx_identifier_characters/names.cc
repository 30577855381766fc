#define x X
#define A Y
xÃ—y AÂ¡ Â¡A 1Â¡
A\uFD3E\uFD3F \u0300A A\u0300
xà€€ xí € xøˆ€€€
\u0041 \u0024 A\u009F \U80000000 A\u2000
