#pragma GCC system_header
#define SYS_U 1U
#define sys_f(x) x
int a = sys_f;
