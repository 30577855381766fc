int before;
x = GROW(b b b, c c c, d d d, e e e, f f f, g g g, h h h, i i i, j j j, k k k, l l l, m m m, n n n, o o o, p p p, q q q, r r r, s s s, t t t, u u u);
int after;
