C(N) N
N
Q N
N
