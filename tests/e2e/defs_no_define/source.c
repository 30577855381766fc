int x = X;
