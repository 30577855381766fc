#ifndef GUARDED_H
#define GUARDED_H
#include "inc/nested.h"
#endif
