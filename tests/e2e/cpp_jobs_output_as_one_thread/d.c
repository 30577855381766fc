int d = X;
