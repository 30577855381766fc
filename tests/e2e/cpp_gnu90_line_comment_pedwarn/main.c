#define A 1 // even in a directive
int a = A; // once a file
