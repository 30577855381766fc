int a = A;
