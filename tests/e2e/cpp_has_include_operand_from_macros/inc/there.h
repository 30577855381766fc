#define FOUND 1
