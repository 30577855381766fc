#include <s.h>
#include "lib/l.h"
#include "lib2/m.h"
#define OWN (OTHER + SYS_ZERO)
int a = SYS_ZERO, b = LIB_BOTH, c = OWN, d = SYS_WRAP(LIB_ONE), e = FROM_CLI;
