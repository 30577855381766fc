#define IN_I 1
