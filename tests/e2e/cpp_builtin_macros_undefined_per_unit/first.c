__FILE__ __LINE__
#undef __FILE__
#ifdef __FILE__
#error __FILE__ still defined
#endif
__FILE__ __LINE__
#define __FILE__ "f"
#define __FILE__ "f"
#undef __FILE__
#define __LINE__ 7
#define __LINE__ 7
__LINE__
#undef __LINE__
__LINE__
#if defined _Pragma && defined __has_include
#undef _Pragma
#undef __has_attribute
#endif
_Pragma("x") __has_attribute
