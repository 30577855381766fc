#define H A\u0300
