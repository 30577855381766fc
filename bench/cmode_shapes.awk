# Writes a C source of one shape of macro use whose cost may grow faster than
# its input: awk -v shape=SHAPE -v n=N -f cmode_shapes.awk
#   chain  n object-like macros, each naming the next, and one use of the first
#   args   one call with n arguments, passed on through three variadic
#          macros and counted by a macro of n + 1 parameters
#   nest   a function-like macro used inside its own argument, n deep
#   mock   a mocking framework's method macro, which counts the n parameters
#          of a signature and makes each of them three ways through a macro
#          that applies a macro to every element of a list, one level per element
function comma_list(prefix, count, from,    i, text) {
  text = ""
  for (i = from; i < from + count; ++i) text = text (i > from ? ", " : "") prefix i
  return text
}

function chain(    i) {
  for (i = 0; i < n; ++i) printf "#define A%d A%d\n", i, i + 1
  printf "#define A%d 42\nx = A0;\n", n
}

function args(    i, counts) {
  counts = ""
  for (i = n; i >= 0; --i) counts = counts ", " i
  print "#define FIRST(...) SECOND(__VA_ARGS__)"
  print "#define SECOND(...) THIRD(__VA_ARGS__)"
  print "#define THIRD(...) { __VA_ARGS__ }"
  printf "#define COUNT(...) COUNT_AT(__VA_ARGS__%s)\n", counts
  printf "#define COUNT_AT(%s, N, ...) N\n", comma_list("_", n, 1)
  printf "int v[] = FIRST(%s);\nint k = COUNT(%s);\n", comma_list("a", n, 0), comma_list("a", n, 0)
}

function nest(    i) {
  print "#define F(x) (x+1)"
  printf "y = "
  for (i = 0; i < n; ++i) printf "F("
  printf "0"
  for (i = 0; i < n; ++i) printf ")"
  print ";"
}

function mock(    i, counts) {
  counts = ""
  for (i = n; i >= 0; --i) counts = counts ", " i
  print "#define PP_CAT(a, b) PP_CAT_I(a, b)"
  print "#define PP_CAT_I(a, b) a##b"
  print "#define PP_STR(x) PP_STR_I(x)"
  print "#define PP_STR_I(x) #x"
  print "#define PP_HEAD(...) PP_HEAD_I(__VA_ARGS__, ~)"
  print "#define PP_HEAD_I(x, ...) x"
  print "#define PP_TAIL(...) PP_TAIL_I(__VA_ARGS__)"
  print "#define PP_TAIL_I(x, ...) __VA_ARGS__"
  print "#define PP_REMOVE_PARENS(...) __VA_ARGS__"
  printf "#define PP_NARG(...) PP_NTH((__VA_ARGS__%s))\n", counts
  print "#define PP_NTH(list) PP_NTH_I list"
  printf "#define PP_NTH_I(%s, N, ...) N\n", comma_list("_", n, 1)
  print "#define PP_INC(i) PP_CAT(PP_INC_, i)"
  print "#define PP_COMMA_IF(i) PP_CAT(PP_COMMA_IF_, i)"
  print "#define PP_COMMA_IF_0"
  for (i = 0; i <= n; ++i) printf "#define PP_INC_%d %d\n", i, i + 1
  for (i = 1; i <= n; ++i) printf "#define PP_COMMA_IF_%d ,\n", i
  print "#define PP_FOR_EACH(m, d, t) PP_CAT(PP_FOR_EACH_, PP_NARG t)(0, m, d, t)"
  print "#define PP_FOR_EACH_0(i, m, d, t)"
  print "#define PP_FOR_EACH_1(i, m, d, t) m(i, d, PP_HEAD t)"
  for (i = 2; i <= n; ++i)
    printf "#define PP_FOR_EACH_%d(i, m, d, t) m(i, d, PP_HEAD t) PP_FOR_EACH_%d(PP_INC(i), m, d, (PP_TAIL t))\n", i, i - 1
  print "#define PP_ID(...) __VA_ARGS__"
  print "#define PP_IF(c, t, f) PP_CAT(PP_IF_, c)(t, f)"
  print "#define PP_IF_1(t, f) t"
  print "#define PP_IF_0(t, f) f"
  print "#define PP_IS_BEGIN_PARENS(...) PP_HEAD(PP_CAT(PP_IBP_R_, PP_IBP_C __VA_ARGS__))"
  print "#define PP_IBP_C(...) 1"
  print "#define PP_IBP_R_1 1,"
  print "#define PP_IBP_R_PP_IBP_C 0,"
  print "#define MOCK_GET_TYPE(i, d, type) PP_COMMA_IF(i) PP_IF(PP_IS_BEGIN_PARENS(type), PP_REMOVE_PARENS, PP_ID)(type)"
  print "#define MOCK_SIGNATURE(R, args) PP_IF(PP_IS_BEGIN_PARENS(R), PP_REMOVE_PARENS, PP_ID)(R)(PP_FOR_EACH(MOCK_GET_TYPE, _, args))"
  print "#define MOCK_ARG_TYPE(i, ...) typename Function<__VA_ARGS__>::template Arg<i>::type"
  print "#define MOCK_PARAM(i, sig, type) PP_COMMA_IF(i) MOCK_ARG_TYPE(i, PP_REMOVE_PARENS(sig)) mock_a##i"
  print "#define MOCK_FORWARD(i, sig, type) PP_COMMA_IF(i) static_cast<MOCK_ARG_TYPE(i, PP_REMOVE_PARENS(sig))&&>(mock_a##i)"
  print "#define MOCK_MATCHER(i, sig, type) PP_COMMA_IF(i) const Matcher<MOCK_ARG_TYPE(i, PP_REMOVE_PARENS(sig))>& mock_m##i"
  print "#define MOCK_METHOD(R, name, args, qualifiers) \\"
  print "  static_assert(PP_NARG args >= 0, PP_STR(args) \" must be in parentheses\"); \\"
  print "  MOCK_METHOD_IMPL(name, qualifiers, args, (MOCK_SIGNATURE(R, args)))"
  print "#define MOCK_METHOD_IMPL(name, qualifiers, args, sig) \\"
  print "  typename Function<PP_REMOVE_PARENS(sig)>::Result name(PP_FOR_EACH(MOCK_PARAM, sig, args)) PP_REMOVE_PARENS qualifiers { \\"
  print "    return mock_##name.Invoke(PP_FOR_EACH(MOCK_FORWARD, sig, args)); \\"
  print "  } \\"
  print "  Expectation<PP_REMOVE_PARENS(sig)> gmock_##name(PP_FOR_EACH(MOCK_MATCHER, sig, args)) { \\"
  print "    return mock_##name.With(PP_FOR_EACH(MOCK_FORWARD, sig, args)); \\"
  print "  } \\"
  print "  Mocker<PP_REMOVE_PARENS(sig)> mock_##name"
  printf "struct M { MOCK_METHOD(void, F, (%s), (const)); };\n", comma_list("T x", n, 0)
}

BEGIN {
  if (shape == "chain") chain()
  else if (shape == "args") args()
  else if (shape == "nest") nest()
  else if (shape == "mock") mock()
  else { print "unknown shape: " shape > "/dev/stderr"; exit 2 }
}
