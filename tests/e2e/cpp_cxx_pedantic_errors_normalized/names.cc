#define A\u0300 1
A\u0300 \u00C5 \u212B
#define M À \u00AA
