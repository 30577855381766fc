#include "config.h"
int main(void) {
  SHOW(LEVEL)`printf("%s %d\n", LEVEL_NAME`"level"', LEVEL`2')';
  return 0;
}
