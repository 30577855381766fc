#define MAX_LEN 256
#define x 1
#define y 2
#define L wide
#define x1F wrong
#define 10 ten
#define N_A NA
