#if 0
$skipped
#endif
"$" /* $ */ plain
#include "dollars.h"
later$ 1$
