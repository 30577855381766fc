int b = X;
