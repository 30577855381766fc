int dash = X;
