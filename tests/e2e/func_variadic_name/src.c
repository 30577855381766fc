LOG(f, a);
LOG("x, y", z);
ALL(x);
LOG(f, a, b);
not printed
