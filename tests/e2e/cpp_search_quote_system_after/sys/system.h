#define LEVEL 1
#define LEVEL 2
#warning shown from a system header
#include "beside.h"
