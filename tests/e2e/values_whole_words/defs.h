#define FOO 7
#define X FOO_BAR + FOO2 + xFOO + FOO
