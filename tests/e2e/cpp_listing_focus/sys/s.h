#define SYS_ZERO 0
#define SYS_WRAP(x) (x + LIB_ONE)
