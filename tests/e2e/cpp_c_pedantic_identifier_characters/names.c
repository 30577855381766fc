#define A X
Aǵ AǶ ٠A ́A
A\u01F5 A\u01F6
