#include <answer.h>
int h = MODE;
