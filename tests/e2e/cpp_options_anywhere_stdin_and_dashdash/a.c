int a = X;
