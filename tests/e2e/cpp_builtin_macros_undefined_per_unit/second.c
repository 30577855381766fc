__FILE__ __LINE__
#if !defined _Pragma || !defined __has_attribute
#error built-in macros not restored
#endif
