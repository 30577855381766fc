#include <stdint.h>
#include "registers.h"

/* Enables UART0 with the given baud rate divisor and even parity. */
void uart_init(uint32_t divisor)
{
    UART0_BRR = divisor;
    UART0_CR = UART_CR_UE | UART_CR_RE | UART_CR_TE
             | UART_CR_PARITY(UART_PARITY_EVEN);
}

/* Sends one byte once the transmitter is free. */
void uart_putc(char c)
{
    while (!BIT_IS_SET(UART0_SR, UART_SR_TXE))
        ;
    UART0_DR = (uint8_t)c;
}

/* Waits for one byte and returns it. */
char uart_getc(void)
{
    while (!BIT_IS_SET(UART0_SR, UART_SR_RXNE))
        ;
    return (char)(UART0_DR & 0xFFu);
}
