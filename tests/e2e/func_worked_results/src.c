m = MAX(x, y+1);
s = SQ(3);
d = SUB( p ,q );
w = AB(1,2);
r = MAX(b, a);
k = PICK(c ? d : e);
PUTS("$$");
UP($u);
m = MAX(f(1,2), c);
