#define AFTER 1
