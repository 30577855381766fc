#include "guarded.h"
#include "guarded.h"
#include "once.h"
#include "once.h"
#include "twice.h"
#include <twice.h>
#include "loose.h"
#include "loose.h"
#include "missing.h"
PRE
