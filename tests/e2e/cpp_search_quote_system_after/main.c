#include "quoted.h"
#if __has_include(<quoted.h>)
#error <quoted.h> found in an -iquote directory
#endif
#include <both.h>
#include <system.h>
#include <order.h>
#include <late.h>
int q = QUOTED, level = LEVEL, after = AFTER;
const char *both = WHICH_BOTH, *order = WHICH_ORDER;
