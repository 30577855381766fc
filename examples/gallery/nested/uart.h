#define UART_BASE       0x40001000u
#define REG(addr)       (*(volatile unsigned *)(addr))
#define UART_REG(off)   REG(UART_BASE + (off))
#define UART_CR         UART_REG(0x08u)
#define BIT(n)          (1u << (n))
#define CR_TX_ENABLE    BIT(3)
#define CR_RX_ENABLE    BIT(2)
#define CR_ENABLE       (CR_TX_ENABLE | CR_RX_ENABLE)
