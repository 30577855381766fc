/* UART0 register map of a small microcontroller. */
#define UART0_BASE      0x40001000
#define UART_DR_OFFSET  0x00
#define UART_SR_OFFSET  0x04
#define UART_SR_TXE     (1u << 7)   /* transmit register empty */
#define UART_SR_RXNE    (1u << 5)   /* receive register not empty */
#define REG32(addr)     (*(volatile unsigned int *)(addr))
#define UART0_DR        REG32(UART0_BASE + UART_DR_OFFSET)
#define UART0_SR        REG32(UART0_BASE + UART_SR_OFFSET)
#define BIT_IS_SET(reg, mask) (((reg) & (mask)) != 0)
