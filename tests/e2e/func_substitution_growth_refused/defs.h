#define GROW(a,b,c) a a a a a a a a a a a a a a a a a a a a
