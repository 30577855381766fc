/* nothing defined here */
#ifdef X
#if defined(Y)
 #define INDENTED 1
#include <define.h>
#endif
