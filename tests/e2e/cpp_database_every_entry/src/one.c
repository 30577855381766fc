#include "answer.h"
int one = ANSWER; const char *m = MODE; const char *f = __FILE__;
