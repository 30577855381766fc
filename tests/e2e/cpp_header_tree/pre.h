#define PRE 1
