x = A;
