#include <answer.h>
int two = ANSWER + MODE; int p = PRE;
