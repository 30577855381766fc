#define FLAG (1u << 4)
#define TWO_FLAGS ((FLAG)+(FLAG))
#ifdef WIDE
#define REG 0
#else
#define REG ((uint32_t)0x40001000 + 0xC)
#endif
#define NEG (-5)
#define HALF (1.0 / 2)
int x = TWO_FLAGS, r = REG, n = NEG, h = HALF, l = __LINE__, c = CLI;
