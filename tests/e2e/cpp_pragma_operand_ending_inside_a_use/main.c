#define P _Pragma("x") y
#define F(a) _Pragma("x") a
#define Q [_Pragma P]
_Pragma /* the operand starts in P */ P end
_Pragma F(q) end
Q end
