#define X 1
#include "head.h"
int a = X + Y;
