#define D 1
int a;
  x$y $z
