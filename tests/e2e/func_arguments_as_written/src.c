SHOW(a ? b : c);
SHOW("x\n");
SHOW('\\');
SHOW(x$q \$ $$ $l);
SHOW(p:q:r\\s);
PAIR(f(1, g(2, 3)), "x, y");
PAIR(',', i);
SHOW(•\) SHOW(x‚);
