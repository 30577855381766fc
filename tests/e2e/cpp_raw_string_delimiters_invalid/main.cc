#define b B
R"a b(b)a b" b
R"a\(b)a\" b
R"0123456789abcdef(b)0123456789abcdef" b
R"0123456789abcdefg(b)0123456789abcdefg" b
u8R"$(b)$" b LR"@(b)@" b
R"ab
c" b
R"d(b)" b R"e(b)d" b
#line 100
R"x y(z)x y" b
R"e(open
