/* registers */
#ifndef REGS_H
#if defined(FAST)
#define BASE 0x40 /* base address */
# define OFFSET(n) ((n) * 4) /* scaled */
#	define REG(n) (BASE + OFFSET(n))
#define SPACED (x) x
#define WIDE 1 + \
     2
#define EMPTY
#endif
