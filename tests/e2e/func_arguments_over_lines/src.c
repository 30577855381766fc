y = MAX(
    first,
    second
);
z = SQ(x -
  1) + SQ(	2
);
after
