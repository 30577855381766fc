int a = BASE;
int b = REG(1);
int c = SPACED(3);
int d = WIDE;
/* BASE */ char *s = "BASE";
