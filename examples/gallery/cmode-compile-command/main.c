#include <stdio.h>
#include "config.h"

int main(void) {
  SHOW(LEVEL);
  return 0;
}
