#ifndef CONFIG_H
#define CONFIG_H
#define LED_ON    1   // turn on
#define LED_OFF   0   /* turn off */
#define  __I      volatile const
#define MAX(a,b)  ((a) > (b) ? (a) : (b))
#if DEBUG > 1
#define TRACE(fmt, ...) printf(fmt, ## __VA_ARGS__)
#else
#define TRACE(fmt, ...)
#endif
#endif
