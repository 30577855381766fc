#include "header.h"
#define FROM_SOURCE 2
#undef GONE
int code;
