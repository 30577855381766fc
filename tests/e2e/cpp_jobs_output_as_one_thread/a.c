int a = X;
#warning in a
