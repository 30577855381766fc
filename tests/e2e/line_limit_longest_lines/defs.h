#define UNUSED_NAME 1
