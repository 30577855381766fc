y = TWICE(N);
z = ONE(a);
g = G;
plain N line
no use
