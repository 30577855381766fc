#define def macro answers are not expanded
#assert abc (def)
#assert abc ( x  y )
#assert abc (x z)
#unassert abc (x z)
#assert other (1)
#unassert other
#if #abc (def) && #abc( x y ) && !#abc(xy) && !#abc(x z) && # abc && !#other
#define ANSWERS_AGREE agree
#endif
#if 1 + #abc == 2 && #abc(def) == 1 && !#cpu && !#system(linux)
#define ARE_NUMBERS numbers
#endif
#if #abc()
#endif
#if #abc(def
#endif
#if #abc[def]
#endif
#if %:
#endif
#if #12
#endif
ANSWERS_AGREE ARE_NUMBERS
#if 0
#elif #abc
#define ELIF_WARNS_NOT elif
#endif
ELIF_WARNS_NOT
