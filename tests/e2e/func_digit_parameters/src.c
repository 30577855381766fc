D1(q) D2(q) D12(p, q);
D0(q);
after
