#define str(x) xstr(x)
#define xstr(x) #x
#define at(name, version) name##@##version
#define spaced(a) a ## @
#define cat(a, b) a##b
#define chain(a, b) a ## b ## c
const char *s = str(at(open, V_2.0));
at(x,y) at(x, 1.0) spaced(x) cat(x,  @) cat(x,/**/@) str(cat(x, @))
chain(+, -) chain(+,-)
#include "sub.h"
PLUS_TO(x)
