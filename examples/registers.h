/* registers.h: the UART0 block of a small 32-bit microcontroller. */
#ifndef REGISTERS_H
#define REGISTERS_H

/* Accessors */
#define REG32(addr)             (*(volatile uint32_t *)(addr))
#define BIT(n)                  (1u << (n))
#define FIELD(value, shift, mask) (((uint32_t)(value) << (shift)) & (mask))
#define BIT_IS_SET(reg, mask)   (((reg) & (mask)) != 0)

/* Memory map */
#define PERIPH_BASE             0x40000000u
#define UART0_BASE              (PERIPH_BASE + 0x1000u)

/* Register offsets */
#define UART_DR_OFFSET          0x00u   /* data */
#define UART_SR_OFFSET          0x04u   /* status */
#define UART_CR_OFFSET          0x08u   /* control */
#define UART_BRR_OFFSET         0x0Cu   /* baud rate divisor */

/* Registers */
#define UART0_DR                REG32(UART0_BASE + UART_DR_OFFSET)
#define UART0_SR                REG32(UART0_BASE + UART_SR_OFFSET)
#define UART0_CR                REG32(UART0_BASE + UART_CR_OFFSET)
#define UART0_BRR               REG32(UART0_BASE + UART_BRR_OFFSET)

/* Status register bits */
#define UART_SR_RXNE            BIT(5)  /* receive register not empty */
#define UART_SR_TXE             BIT(7)  /* transmit register empty */

/* Control register bits and fields */
#define UART_CR_UE              BIT(0)  /* UART enable */
#define UART_CR_RE              BIT(2)  /* receiver enable */
#define UART_CR_TE              BIT(3)  /* transmitter enable */
#define UART_CR_PARITY_SHIFT    9
#define UART_CR_PARITY_MASK     (3u << UART_CR_PARITY_SHIFT)
#define UART_CR_PARITY(p)       FIELD(p, UART_CR_PARITY_SHIFT, UART_CR_PARITY_MASK)
#define UART_PARITY_EVEN        2u

#endif
