#pragma GCC system_header
_Pragma("GCC system_header")
#include "sys.h"
#pragma GCC dependency
#pragma GCC dependency "sys.h"
int a = f + F;
