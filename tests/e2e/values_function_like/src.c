a = G; b = H(3);
