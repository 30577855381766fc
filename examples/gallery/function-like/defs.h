#define LIMIT           500
#define MAX(a, b)       ((a) > (b) ? (a) : (b))
