#include <limits_like.h>
#define USER_U 2U
#define UID(x) x
#define UV(...) __VA_ARGS__
#define MY_U S_U
#if S_U + S_LL + S_B + MY_U
#endif
#if S_ID(1U) + S_V(2U) + S_ID(UID(3U)) + S_V(UV(4U))
#endif
#if UID(S_U) + UV(S_LL)
#endif
#if UID(S_ID(5U))
#endif
#if UV(S_V(6U))
#endif
#if S_ID(1LL) + S_V(0b1)
#endif
#if S_TO_USER
#endif
#if S_BIG
#endif
#if UID(S_LL)
#endif
