#define REST there.h>)
#define LT <
#define NAME there.h
#define STRING "there.h"
#define CLOSE )
#if __has_include(<REST && 1
int written_angle_rest_from_macro;
#endif
#if __has_include(LT NAME >) && !__has_include(LT there.h >)
int angle_from_macro_blank_kept;
#endif
#if __has_include(STRING CLOSE
int close_from_macro;
#endif
#if __has_include STRING
int no_parenthesis;
#endif
#if __has_include(<there.h
int unended_angle;
#endif
#if __has_include(NAME)
int not_taken;
#endif
int a = __has_include(<REST + __has_include(LT NAME >) + __has_include(LT there.h >);
int b = __has_include(STRING CLOSE - __has_include STRING;
