s = S; t = T; v = V;
