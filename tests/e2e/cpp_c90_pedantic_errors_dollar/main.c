#define ONE 1
int x = ONE;
#define M a$b
M c$d
