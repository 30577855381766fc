int x = A;
