#include "config.h"
#include "config.h"
int main(void) { return 0; }
#if 1 / 0
#endif
#if 1 +
#endif
#warning check   this
#error stop? no, go on
#frobnicate
#if 1
