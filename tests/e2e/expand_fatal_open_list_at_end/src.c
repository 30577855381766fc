N before
F(1) F(2,
3
