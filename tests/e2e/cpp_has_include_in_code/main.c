#define QUOTED "found.h"
#define ANGLED <found.h>
#define HAS(h) __has_include(h)
int a = __has_include("beside.h") + __has_include(<beside.h>) + __has_include(<found.h>) + __has_include("no.h");
int b = HAS("beside.h") + __has_include(QUOTED) + __has_include(ANGLED) + __has_include_next("found.h");
int c = __has_include "beside.h";
int d = __has_include("beside.h" x);
int e = __has_include(1) + __has_include();
int f = __has_include
  ("beside.h"
  );
#if __has_include("beside.h") && !__has_include(<beside.h>)
int g = __has_include_next(<found.h>);
#endif
