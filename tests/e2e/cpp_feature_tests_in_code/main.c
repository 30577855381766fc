#define NAME known
#define HAS(x) __has_attribute(x)
int a = __has_attribute(known) + __has_builtin(__builtin_known) + __has_attribute(other);
int b = __has_c_attribute(nodiscard) + __has_attribute(NAME) + HAS(known);
int c = __has_attribute(gnu::known) + __has_cpp_attribute(std::other);
#if __has_attribute(known) && HAS(NAME) && __has_c_attribute(nodiscard) == 202003 && defined __has_builtin
int taken;
#endif
int d = __has_attribute;
int e = __has_attribute(1);
int f = __has_attribute(known x);
#undef __has_builtin
int g = __has_builtin(__builtin_known);
