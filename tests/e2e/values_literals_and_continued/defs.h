#define B 2
#define S "s" B
#define T 1 + B
#define V B + \
    B
