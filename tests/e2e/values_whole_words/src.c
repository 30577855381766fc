x = X;
