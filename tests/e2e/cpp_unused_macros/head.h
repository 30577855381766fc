#define IN_HEADER 1
