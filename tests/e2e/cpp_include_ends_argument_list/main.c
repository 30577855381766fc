#define f(a, b) [a|b]
#include "once.h"
int x = f(1,
#include "part.h"
 2); f(3,
4) f(5,
#include "once.h"
6);
int y = f(7,
#include "nest.h"
 8) f(9, 10);
