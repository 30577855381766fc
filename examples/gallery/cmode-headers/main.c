#include <stdint.h>
#include <signal.h>

int64_t big = INT64_C(5);
int lowest = SIGRTMIN;
sighandler_t old = signal(SIGINT, SIG_IGN);
