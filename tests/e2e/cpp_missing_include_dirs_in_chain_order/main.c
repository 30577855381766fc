#include "found.h"
int x = FOUND;
