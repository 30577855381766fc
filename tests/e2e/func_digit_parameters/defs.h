#define D1(1) one 1
#define D2(2) two 2
#define D12(x, 12) [x] twelve 12
#define D0(0) zero 0
