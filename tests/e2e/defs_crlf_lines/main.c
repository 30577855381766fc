a = N;
b = SUM(N, LONG);
c = CR_INSIDE;
