#pragma once extra
#pragma GCC system_header tail
#pragma GCC warning "hidden in a system header"
#define SYS 1
