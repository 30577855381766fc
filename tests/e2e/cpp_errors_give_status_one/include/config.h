#ifndef CONFIG_H
#define CONFIG_H
#define LEVEL 2
#define LEVEL 3
#include <missing.h>
#include "local.h"
#endif
