void start(void)
{
    UART_CR = CR_ENABLE;
}
