#define LIB_ONE 1
#define LIB_BOTH (SYS_ZERO + LIB_ONE)
