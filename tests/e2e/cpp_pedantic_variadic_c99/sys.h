#pragma GCC system_header
#define sys_v(a, ...) a
