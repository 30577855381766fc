#define MAX_USERS   64          /* per server */
#define NAME_LEN    32
#define GREETING    "Welcome"
