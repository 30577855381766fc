// Tests of expanding whole programs in the C mode: uses, errors and name texts.
#include "cmode/listing/expander.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

#include "cmode/lex/dialect.h"
#include "cmode_program.h"

namespace sornik::cmode {
namespace {

using testing::expand_program;

struct Case {
  const char* what;
  const char* program;
  const char* shown;  // the default rendering
};

// Each use as the default form shows it: name text`expansion text'.
const Case kCases[] = {
    {"an argument expands before it is substituted", "#define N 10\n#define F(x) x+1\nF(N)\n",
     "#define N 10\n#define F(x) x+1\nF(N)`N`10'+1'\n"},
    {"parameters are replaced all at once", "#define MIN(a, b) ((a) < (b) ? (a) : (b))\nMIN(b, a)\n",
     "#define MIN(a, b) ((a) < (b) ? (a) : (b))\nMIN(b, a)`((b) < (a) ? (b) : (a))'\n"},
    {"a macro is not expanded inside itself", "#define foo foo + 1\nfoo;\n",
     "#define foo foo + 1\nfoo`foo + 1';\n"},
    {"mutual references stop where they meet", "#define A B\n#define B A\nA B\n",
     "#define A B\n#define B A\nA`B`A'' B`A`B''\n"},
    {"a name at the end of an expansion takes its arguments from the source",
     "#define F(x) [x]\n#define G F\nG(1) G;\n", "#define F(x) [x]\n#define G F\nG(1)`F(1)`[1]'' G`F';\n"},
    {"an argument list opened inside an expansion", "#define F(a, b) [a|b]\n#define OPEN F(1,\nOPEN 2) x\n",
     "#define F(a, b) [a|b]\n#define OPEN F(1,\nOPEN 2)`F(1, 2)`[1|2]'' x\n"},
    {"a function-like name without parentheses is no use", "#define F(x) x\nF + F\n(1)\n",
     "#define F(x) x\nF + F\n(1)`1'\n"},
    {"a directive ends the search for the parenthesis", "#define F(x) x\nF\n#define Y\n(1)\n",
     "#define F(x) x\nF\n#define Y\n(1)\n"},
    {"a call across lines with a directive inside", "#define F(x, y) x y\n#define N 1\nF(N,\n#undef N\nN)\n",
     "#define F(x, y) x y\n#define N 1\nF(N,\n#undef N\nN)`N N'\n"},
    {"# and ## and the variable arguments",
     "#define S(x) #x\n#define C(a, b) a ## b\n#define L(f, ...) p(f, ## __VA_ARGS__)\nS( a  \"\\n\" ) C(x, "
     "1) "
     "L(1) L(1, 2)\n",
     "#define S(x) #x\n#define C(a, b) a ## b\n#define L(f, ...) p(f, ## __VA_ARGS__)\nS( a  \"\\n\" )`\"a "
     "\\\"\\\\n\\\"\"' C(x, 1)`x1' L(1)`p(1)' L(1, 2)`p(1, 2)'\n"},
    {"a run of ## pastes once", "#define C(x, y) x ## ## %:%: y\nC(a, b) C(, b)\n",
     "#define C(x, y) x ## ## %:%: y\nC(a, b)`ab' C(, b)`b'\n"},
    {"__VA_OPT__ looks at the expanded variable arguments",
     "#define E\n#define V(a, ...) [a __VA_OPT__(: __VA_ARGS__)]\nV(1) V(1, E) V(1, 2)\n",
     "#define E\n#define V(a, ...) [a __VA_OPT__(: __VA_ARGS__)]\nV(1)`[1 ]' V(1, E)`[1 ]' V(1, 2)`[1 : "
     "2]'\n"},
    {"## next to __VA_OPT__ works on the first and last tokens inside it",
     "#define K(a, ...) v ## __VA_OPT__(a k)\n#define Q(a, ...) __VA_OPT__(x a) ## 1\nK(, 1) K(y, 1) Q(, 1) "
     "Q(2, 1)\n",
     "#define K(a, ...) v ## __VA_OPT__(a k)\n#define Q(a, ...) __VA_OPT__(x a) ## 1\nK(, 1)`v k' K(y, 1)`vy "
     "k' "
     "Q(, 1)`x 1' Q(2, 1)`x 21'\n"},
    {"# stringizes what __VA_OPT__ gives, pastes done",
     "#define H(X, ...) #__VA_OPT__(X)\n#define G(X, ...) [# __VA_OPT__(X##X  X)]\nH(1, 2) H(1) G(a, 1) "
     "G(a)\n",
     "#define H(X, ...) #__VA_OPT__(X)\n#define G(X, ...) [# __VA_OPT__(X##X  X)]\nH(1, 2)`\"1\"' H(1)`\"\"' "
     "G(a, 1)`[\"aa a\"]' G(a)`[\"\"]'\n"},
    {"an argument at the edge of __VA_OPT__ is expanded before the paste",
     "#define N 5\n#define Q(a, ...) __VA_OPT__(x a) ## 1\nQ(N, 1)\n",
     "#define N 5\n#define Q(a, ...) __VA_OPT__(x a) ## 1\nQ(N, 1)`x N`51''\n"},
    {"names in comments and literals stay", "#define N 1\n/* N */ \"N\" u8\"N\" L'N' // N\n",
     "#define N 1\n/* N */ \"N\" u8\"N\" L'N' // N\n"},
    {"__LINE__ is the line of the use", "#define L __LINE__\nL\n__LINE__\n",
     "#define L __LINE__\nL`__LINE__`2''\n__LINE__`3'\n"},
    {"the lines a literal's splices join count", "\"a\\\nb\" 'c\\\r\n'\n__LINE__\n",
     "\"a\\\nb\" 'c\\\r\n'\n__LINE__`4'\n"},
    {"_Pragma becomes a #pragma line", "_Pragma(\"once\") x\n", "_Pragma(\"once\")`\n#pragma once\n' x\n"},
    {"tokens that would join keep a blank", "#define M -1\n-M\n", "#define M -1\n-M` -1'\n"},
    {"a use touches the last token of the use before it", "#define F() -\n#define G -\nF()F() F()G\n",
     "#define F() -\n#define G -\nF()`-'F()` -' F()`-'G` -'\n"},
    {"tokens joined to a use by a splice touch it", "#define N() 1\n#define M -1\nN()\\\nx -\\\r\nM\n",
     "#define N() 1\n#define M -1\nN()`1 '\\\nx -\\\r\nM` -1'\n"},
    {"an empty definition", "#define Z\na Z b\n", "#define Z\na Z`' b\n"},
    {"digraphs, comments and splices in a definition",
     "#define G(x) %:x <:x:> /* c */ x%:%:1 \\\n  + x ## __LINE__\nG(a)\n",
     "#define G(x) %:x <:x:> /* c */ x%:%:1 \\\n  + x ## __LINE__\nG(a)`\"a\" <:a:> a1 + a__LINE__'\n"},
    {"digraphs inside __VA_OPT__", "#define V(a, ...) a __VA_OPT__(%:a <%__VA_ARGS__%>)\nV(1) V(1, 2)\n",
     "#define V(a, ...) a __VA_OPT__(%:a <%__VA_ARGS__%>)\nV(1)`1' V(1, 2)`1 \"1\" <%2%>'\n"},
    {"a use goes on with the definition that a directive in its arguments replaces",
     "#define F(x) [x] %:x F\nF(1\n#undef F\n#define F(x) new\n) F(2)\n",
     "#define F(x) [x] %:x F\nF(1\n#undef F\n#define F(x) new\n)`[1] \"1\" F' F(2)`new'\n"},
};

TEST(Expander, ShowsEveryUseAsTheCPreprocessorExpandsIt) {
  for (const Case& c : kCases) EXPECT_EQ(expand_program(c.program).out, c.shown) << c.what;
}

// `, ## __VA_ARGS__` drops its comma when the variable arguments are left
// out; when they are the only parameter and empty, only in GNU's dialects
// (as gcc -std=gnu17 and g++ -std=gnu++17 do, and -std=c17, c++17 do not).
TEST(Expander, TheGnuCommaFollowsTheDialect) {
  const std::string program =
      "#define N(...) [x, ## __VA_ARGS__]\n#define O(a, ...) [a, ## __VA_ARGS__]\nN() N(1) O(1) O(1,)\n";
  const std::string tail = "N()`[x]' N(1)`[x,1]' O(1)`[1]' O(1,)`[1,]'\n";
  for (const auto& [name, cplusplus, strict] : {std::tuple{"gnu17", false, false},
                                                {"c17", false, true},
                                                {"c++17", true, true},
                                                {"gnu++20", true, false}}) {
    const ScopedLexingDialect dialect(*find_dialect(name, cplusplus));
    std::string shown = expand_program(program).out;
    shown.erase(0, shown.rfind('\n', shown.size() - 2) + 1);
    EXPECT_EQ(shown, strict ? "N()`[x,]' N(1)`[x,1]' O(1)`[1]' O(1,)`[1,]'\n" : tail) << name;
  }
}

// From C++11 a literal pasted to a name is one literal with a suffix, which
// the next paste in a chain meets as one token, unless the name is a macro
// not of the form `_x`; in C the paste fails.
TEST(Expander, PastesMakeLiteralsWithSuffixesInCxx) {
  const std::string program = "#define F \"s\" ## L ## \"b\"\n#define G 'c' ## x\nF G\n";
  {
    const ScopedLexingDialect cxx11(*find_dialect("c++11", true));
    const testing::ExpandedProgram result = expand_program(program, "$x");
    EXPECT_EQ(result.out.substr(result.out.rfind('\n', result.out.size() - 2) + 1), "\"s\"L \"b\" 'c'x\n");
    EXPECT_EQ(result.err,
              "t.c:3: error: pasting \"\"s\"L\" and \"\"b\"\" does not give a valid preprocessing token\n");
    const testing::ExpandedProgram macros = expand_program(
        "#define M 1\n#define _M 2\n#define P(a, b) a ## b\nP(\"s\", __LINE__) P('c', M) P(\"s\", _M) "
        "P(\"s\", __M)\n",
        "$x");
    EXPECT_EQ(macros.out.substr(macros.out.rfind('\n', macros.out.size() - 2) + 1),
              "\"s\" 4 'c' 1 \"s\"_M \"s\"__M\n");
    EXPECT_EQ(macros.err,
              "t.c:4: error: pasting \"\"s\"\" and \"__LINE__\" does not give a valid preprocessing token\n"
              "t.c:4: error: pasting \"'c'\" and \"M\" does not give a valid preprocessing token\n");
  }
  const ScopedLexingDialect c17(*find_dialect("c17", false));
  const testing::ExpandedProgram result = expand_program(program, "$x");
  EXPECT_EQ(result.err,
            "t.c:3: error: pasting \"\"s\"\" and \"L\" does not give a valid preprocessing token\n"
            "t.c:3: error: pasting \"'c'\" and \"x\" does not give a valid preprocessing token\n");
}

// The default form is written straight from the token stream, sent on in
// pieces as it grows; a format is rendered from marked text. Both must
// read the same: blanks before the groups a token opens, mark bytes of the
// source, and a use whose rendering is far larger than one piece.
TEST(Expander, TheDefaultFormWrittenStraightReadsAsItsRendering) {
  std::string large = "#define T(x) x x x x\n#define L0 [a\x01b]\n";
  for (int level = 1; level <= 7; ++level)
    large += "#define L" + std::to_string(level) + " T(L" + std::to_string(level - 1) + ")\n";
  large += "\x02 L7;\n";
  const Case cases[] = {
      {"blanks go before the groups a token opens, mark bytes stay",
       "#define E\n#define P(x) x\n#define Q(x) P( x)\na E+Q(1) Q( P(2)) \x03\x04 \"\x01\"\n",
       "#define E\n#define P(x) x\n#define Q(x) P( x)\na E`'+Q(1)`P( 1)`1'' Q( P(2))`P( 2)`P(2)`2''' "
       "\x03\x04 "
       "\"\x01\"\n"},
      {"a group opened inside an argument list", "#define A(x) x B\n#define B() (1)\nA( -)() A(+)-\n",
       "#define A(x) x B\n#define B() (1)\nA( -)()`- B()`(1)'' A(+)`+ B'-\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(expand_program(c.program).out, c.shown) << c.what;
    EXPECT_EQ(expand_program(c.program, "$n`$x'").out, c.shown) << c.what;
  }
  const std::string shown = expand_program(large).out;
  EXPECT_GT(shown.size(), std::size_t{1} << 17);
  EXPECT_EQ(shown, expand_program(large, "$n`$x'").out);
}

// Where g++ -E writes `.` and `*`, `<:` and `:`, or a character constant
// and a name touching, they read back as other tokens (`.*`, `<::`, a
// literal with a suffix): the listing keeps a blank between them.
TEST(Expander, CxxTokensThatWouldJoinKeepABlank) {
  const ScopedLexingDialect cxx17(*find_dialect("c++17", true));
  const std::string program = "#define D .\n#define S <:\n#define C() 'a'\nD* S: C()_x D.*p\n";
  const std::string shown = expand_program(program, "$x").out;
  EXPECT_EQ(shown.substr(shown.rfind('\n', shown.size() - 2) + 1), ". * <: : 'a' _x ..*p\n");
}

TEST(Expander, AMacroStaysDisabledWhileItsExpansionIsRead) {
  // What the C compiler's preprocessor makes of each last line.
  const struct {
    const char* program;
    const char* last_line;
  } cases[] = {
      // The name read inside its own expansion, before the argument list
      // goes on in the source, or in an expansion below.
      {"#define M g(M\n#define g(x) x\nM)\n", "M"},
      {"#define h(x) x\n#define M h(h(M) \nM))\n", "M)"},
      {"#define A B(\n#define B(x) x A)\n#define C A 1)\nC\n", "1 B()"},
      // A use whose argument list went on past a directive, and so past a
      // point where its macro could have changed.
      {"#define F(x) [x] G(x)\n#define G(x) F(x)\nF(1\n#define Q\n) F(2)\n", "[1] F(1) [2] F(2)"},
      // An expansion that has ended lets its macro be used again.
      {"#define f(x) x g\n#define g(x) x f\nf(1)(2)(3)(4)\n", "1 2 3 4 f"},
      {"#define L(x) x R\n#define R(x) L x\nL(1)(L)(2)\n", "1 L 2 R"},
      {"#define A0 A1\n#define A1 A2\n#define A2 A0 A1 A2 A3\n#define A3 7\nA0 A3\n", "A0 A1 A2 7 7"},
  };
  for (const auto& c : cases) {
    const std::string out = expand_program(c.program, "$x").out;
    const std::size_t last = out.rfind('\n', out.size() - 2);
    EXPECT_EQ(out.substr(last + 1), std::string(c.last_line) + "\n") << c.program;
  }
}

// A use whose argument list fails (the wrong count, no closing parenthesis)
// expands, as in the compiler, to its name alone: the tokens read are dropped.
TEST(Expander, ErrorsGoOnWithTheNameOfAFailedUseAlone) {
  const struct {
    const char* program;
    const char* shown;
    const char* message;
  } errors[] = {
      {"#define F(a, b) a\nF(1) F(1,2,3) x\n", "#define F(a, b) a\nF(1)`F' F(1,2,3)`F' x\n",
       "t.c:2: error: macro \"F\" requires 2 arguments, but only 1 given\n"
       "t.c:2: error: macro \"F\" passed 3 arguments, but takes just 2\n"},
      {"#define F(a) a\n#define N 2\nF(N\n", "#define F(a) a\n#define N 2\nF(N`F'\n",
       "t.c:3: error: unterminated argument list invoking macro \"F\"\n"},
      // The levels the failed list was read from go on, their macros still disabled.
      {"#define f(x) [x]\n#define M M g(M\n#define g(x) x\nf(M 1)\n",
       "#define f(x) [x]\n#define M M g(M\n#define g(x) x\nf(M 1)`[M 1`M g(M 1`g'']'\n",
       "t.c:4: error: unterminated argument list invoking macro \"g\"\n"},
      {"#define P(a, b) a ## b\nP(+, -)\n", "#define P(a, b) a ## b\nP(+, -)`+ -'\n",
       "t.c:2: error: pasting \"+\" and \"-\" does not give a valid preprocessing token\n"},
      // Nothing is pasted to the comma that `, ## __VA_ARGS__` leaves out.
      {"#define A(x, ...) x##,##__VA_ARGS__\nA(1) A(,) A(1,2)\n",
       "#define A(x, ...) x##,##__VA_ARGS__\nA(1)`1' A(,)`,' A(1,2)`1,2'\n",
       "t.c:2: error: pasting \"1\" and \",\" does not give a valid preprocessing token\n"},
      // An odd number of final lone backslashes would escape the closing quote.
      {"#define S(x) #x\nS(\\) S(\\\\) S(a \\ \\ \\) S(\\ b)\n",
       "#define S(x) #x\nS(\\)`\"\"' S(\\\\)`\"\\\\\"' S(a \\ \\ \\)`\"a \\ \\ \"' S(\\ b)`\"\\ b\"'\n",
       "t.c:2: warning: invalid string literal, ignoring final '\\'\n"
       "t.c:2: warning: invalid string literal, ignoring final '\\'\n"},
  };
  for (const auto& e : errors) {
    const testing::ExpandedProgram result = expand_program(e.program);
    EXPECT_EQ(result.out, e.shown);
    EXPECT_EQ(result.err, e.message);
  }
}

// What the compiler makes of failed uses nested in arguments and across
// lines; its diagnostics name the line of the last token the list read.
TEST(Expander, AFailedUseDropsWhatItReadAndIsReportedAtItsEnd) {
  const struct {
    const char* program;
    const char* last_line;
    const char* message;
  } cases[] = {
      // The name of a use that failed in an argument may start a use when
      // the argument is rescanned, with what follows it there.
      {"#define none() N\n#define id(x) x\nid(none(1))() id(none(2)) x\n", "N none x",
       "t.c:3: error: macro \"none\" passed 1 arguments, but takes just 0\n"
       "t.c:3: error: macro \"none\" passed 1 arguments, but takes just 0\n"},
      // An unterminated list inside an argument never reads on into the
      // source: the directive after it acts only once its line is done.
      {"#define f(x) [x]\n#define h f(1\n#define id(x) x\nid(h) j\n#define j J\nj\n", "J",
       "t.c:4: error: unterminated argument list invoking macro \"f\"\n"},
      {"#define f(x) [x]\n#define h f(1\n#define id(x) x\nid(h) j\n", "f j",
       "t.c:4: error: unterminated argument list invoking macro \"f\"\n"},
      {"#define one(x) x\none(a\\\n, b) one(\nc\n,\nd\n)\n", "one one",
       "t.c:3: error: macro \"one\" passed 2 arguments, but takes just 1\n"
       "t.c:7: error: macro \"one\" passed 2 arguments, but takes just 1\n"},
      {"#define two(x, y) x\ntwo(1\n) two(\n2, 3\n", "two two",
       "t.c:3: error: macro \"two\" requires 2 arguments, but only 1 given\n"
       "t.c:4: error: unterminated argument list invoking macro \"two\"\n"},
  };
  for (const auto& c : cases) {
    const testing::ExpandedProgram result = expand_program(c.program, "$x");
    const std::size_t last = result.out.rfind('\n', result.out.size() - 2);
    EXPECT_EQ(result.out.substr(last + 1), std::string(c.last_line) + "\n") << c.program;
    EXPECT_EQ(result.err, c.message) << c.program;
  }
}

// A comment opener inside a literal is no comment: the paste makes one
// token; outside one it opens a comment, and the paste fails.
TEST(Expander, PastesOfPrefixesAndLiteralsHoldingCommentOpeners) {
  const std::string program =
      "#define P(a, b) a ## b\nP(U, \"{/* x */\") P(u8, \"// y\") P(L, '/') P(/, /) P(/, *)\n";
  const testing::ExpandedProgram result = expand_program(program, "$x");
  EXPECT_EQ(result.out, "#define P(a, b) a ## b\nU\"{/* x */\" u8\"// y\" L'/' / / / *\n");
  EXPECT_EQ(result.err,
            "t.c:2: error: pasting \"/\" and \"/\" does not give a valid preprocessing token\n"
            "t.c:2: error: pasting \"/\" and \"*\" does not give a valid preprocessing token\n");
}

TEST(Expander, NameTextsGiveBackTheSourceByteForByte) {
  const std::string sources[] = {
      "#define F(x) x\r\nF(1\r\n)\r\n",
      std::string("#define N 1\nN \x01\x02\x03\x04 \"\x01N\" F N\n", 28),
      "#define F(x) x\nF(1, \\\n2) F /* a\nb */ (3)\n",
      "#define F(x) x\nF(\"\xff\xfe\") \xe3\x81\x82 N\n",
  };
  for (const std::string& source : sources) EXPECT_EQ(expand_program(source, "$n").out, source);
}

// _Pragma reads its operand with macros expanded, as the C compiler does; in
// an argument it waits until the argument is substituted (# may spell it), so
// it acts once per place the argument lands. On a wrong operand the tokens
// read up to the wrong one are gone and the name stays.
TEST(Expander, PragmaOperatorsReadTheirOperandExpanded) {
  const std::string defines =
      "#define S \"a b\"\n#define STR(x) #x\n#define LP (\n#define RP )\n#define N 10\n"
      "#define F(x) [x|x]\n#define G(x) STR(x)\n#define P _Pragma\n";
  const struct {
    const char* line;
    const char* tokens;
    int errors;
  } cases[] = {
      {"_Pragma(S)", "\n#pragma a b\n", 0},
      {"_Pragma(STR(c d)) x", "\n#pragma c d\n x", 0},
      {"_Pragma LP \"e\" RP", "\n#pragma e\n", 0},
      {"P(\"j\")", "\n#pragma j\n", 0},
      {"F(_Pragma(\"f\"))", "[\n#pragma f\n | \n#pragma f\n]", 0},
      {"G(_Pragma(\"g\"))", "\"_Pragma(\\\"g\\\")\"", 0},
      {"_Pragma(\"h\" \"i\") z", "_Pragma) z", 1},
      {"_Pragma x y", "_Pragma y", 1},
      {"_Pragma(N) z", "_Pragma) z", 1},
      {"F(P)(\"k\")", "[_Pragma _Pragma(\"k\")", 2},
      {"_Pragma", "_Pragma", 1},
      // The operand goes on over the next lines, which replace the bytes of the first.
      {"_Pragma(\n\"l\"\n) z", "\n#pragma l\n z", 0},
  };
  for (const auto& [line, tokens, errors] : cases) {
    const testing::ExpandedProgram result = expand_program(defines + line + "\n", "$x");
    EXPECT_EQ(result.out.substr(defines.size()), std::string(tokens) + "\n") << line;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), errors) << line;
  }
  // The groups of the operand's macros were consumed with it; the operator's
  // name text is what it read of the source.
  EXPECT_EQ(expand_program(defines + "_Pragma(STR(c)) N\n").out.substr(defines.size()),
            "_Pragma(STR(c))`\n#pragma c\n' N`10'\n");
}

}  // namespace
}  // namespace sornik::cmode
