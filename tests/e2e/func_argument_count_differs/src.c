ok = MAX(1, 2);
bad = MAX(1);
after
