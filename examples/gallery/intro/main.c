y = TWICE(N);
