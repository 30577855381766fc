#define ASKED 1
#define DEFINED_ASKED 2
#define EXPANDED 3
#define UNDONE 4
#define NO_PARENS(x) x
#define REPLACED 6
#ifdef ASKED
#endif
#if defined(DEFINED_ASKED)
#endif
int c = EXPANDED;
int e = NO_PARENS;
#undef UNDONE
#define REPLACED 7
#define VIA_HEADER 5
#include "head.h"
#define LAST
