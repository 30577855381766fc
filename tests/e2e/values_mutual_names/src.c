int v = B;
