#define B 2
B
