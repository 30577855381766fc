#define W(a) ab a a_ a1 (a) "a" b.a /* a */
#define J(a) ‚ a a‚  a•\a a
#define S(s) s_s(s)
