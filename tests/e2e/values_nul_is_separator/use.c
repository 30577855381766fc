x = V;
