p, q
