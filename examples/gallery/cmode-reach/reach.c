#define TWICE(x)   ((x) * 2)
#define CALL       TWICE
#define OPEN       TWICE(1 +

int a = CALL(3);
int b = OPEN 4);
