#if 0
// skipped lines may hold them
#endif
#include "sys.h"
/* a block comment */ int a; // the first is an error
int b; // the next are not
