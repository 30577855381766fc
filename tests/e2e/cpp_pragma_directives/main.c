#include "sys.h"
#include "sys.h"
#pragma once
#pragma GCC system_header
#pragma push_macro(SYS)
#pragma push_macro("SYS") SYS
#pragma pop_macro("SYS" SYS)
#pragma pop_macro
#pragma GCC warning
#pragma GCC warning L"wide"
#pragma GCC warning "shown" "not this"
#pragma GCC error "stop" here
#pragma GCC dependency
#pragma GCC dependency "absent.h" text
#pragma GCC poison
#pragma unknown stays
int x = SYS;
