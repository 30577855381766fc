#include "loop.h"
int x = IN_I;
