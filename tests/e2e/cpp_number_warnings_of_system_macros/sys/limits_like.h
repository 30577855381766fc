#define S_U 1U
#define S_LL 1LL
#define S_B 0b1
#define S_BIG 18446744073709551615
#define S_ID(x) x
#define S_V(...) __VA_ARGS__
#define S_TO_USER USER_U
