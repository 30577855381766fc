    r0 = FN(FN(N, v0), FN(M, x));
    r1 = WRAP(WRAP(M)) /* WRAP(N) */; // FN(N, N)
    r2 = FN<N, "s">, "FN(1, 2)" + 'N';
    r3 = OPEN(1) + N;
    r4 = Q3 + Q2;
    r5 = FN(x / 2, N) *//N
    r6 = SUM(M,
             N);
    r7 = FN(N, M) * N;
