#include <h.h>
#define M A\u0300 0A\u0300
M H
#if 0
A\u0300
#endif
#ifdef \u212A
#endif
x\u00AA x\u00c5 B\u0301 .1e\u00c5\u0300 Å
#pragma foo A\u0300
