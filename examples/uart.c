#include "registers.h"

/* Sends one byte once the transmitter is free. */
void uart_putc(char c)
{
    while (!BIT_IS_SET(UART0_SR, UART_SR_TXE))
        ;
    UART0_DR = c;
}
