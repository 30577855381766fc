#include "limits.h"

/* Room for MAX_USERS names. */
static char names[MAX_USERS][NAME_LEN + 1];
static int NAME_LEN_MIN = 1;

void greet(int user)
{
    printf("%s, user %d of MAX_USERS\n", GREETING, user);
}
