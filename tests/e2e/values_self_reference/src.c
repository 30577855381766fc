n = A;
