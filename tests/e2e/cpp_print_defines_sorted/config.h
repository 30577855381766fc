#define ZED(a, b)  ((a)+ (b)) /* sum */
#define ALPHA\
  "x"
#define CAT(a,b) a##b
#define STR(x) # x
#define LOG(fmt, ...) printf(fmt, ## __VA_ARGS__)
#define MID 0x10UL
