F{N,
  "}" /* } */}; F [1, 2]; F;
F<x,
y> F[
1,
2] N
last N
