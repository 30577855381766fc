#include "part.h"
w
