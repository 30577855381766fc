#define ONE 1
#define F(a, b) (a + ONE)
int v = F(ONE,
  "\xe9\t") + F(2, 3);
no uses here
#define S "caf√© È"
const char *s = S;
