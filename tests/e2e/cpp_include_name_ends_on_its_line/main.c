#define foo h.h>
#include <foo /*
> */
#include <h\
.h>
#include "missing.h /*
" */
int end;
