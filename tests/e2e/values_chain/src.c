x = A + B + C;
