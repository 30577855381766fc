#define LEVEL_NAME "level"
#define SHOW(x) printf("%s %d\n", LEVEL_NAME, x)
