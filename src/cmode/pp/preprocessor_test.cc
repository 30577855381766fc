// Tests of the preprocessor's directives and messages over in-memory files.
#include "cmode/pp/preprocessor.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "captured_io.h"

namespace sornik::cmode {
namespace {

using Files = std::map<std::string, std::string>;

// The macros that `--print-defines -d h.h` lists (without the three the C
// mode predefines) and the messages, for in-memory files.
std::string defines_of(const Files& files, std::vector<std::string> options = {}) {
  std::vector<std::string> args = {"--cpp", "-undef", "-nostdinc"};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), {"--print-defines", "-d", "h.h"});
  const testing::RunResult result = testing::run_in_memory(args, files);
  std::string out;
  std::size_t pos = 0;
  while (pos < result.out.size()) {
    const std::size_t end = result.out.find('\n', pos) + 1;
    const std::string line = result.out.substr(pos, end - pos);
    if (line.rfind("#define __STDC", 0) != 0) out += line;
    pos = end;
  }
  return out + result.err;
}

TEST(Preprocessor, TakesTheGroupsTheCompilerTakes) {
  const std::string header =
      "#define ONE 1\n"
      "#if ONE\n#define A\n#elif 1\n#define NOT_A\n#else\n#define NOT_A2\n#endif\n"
      "#if 0\n#define NOT_B\n#elif 1\n#define B\n#elif 1/0\n#define NOT_B2\n#endif\n"
      "#ifdef ONE\n#define C\n#endif\n#ifndef ONE\n#define NOT_C\n#endif\n"
      "#if 0\n#if 1/0\n#else\n#define NOT_D\n#endif\n#elifndef ONE\n#define NOT_D2\n#elifdef ONE\n#define "
      "D\n#endif\n"
      "  #  if 1 /* a\n comment */ + 1 == 2\n#define E\n#endif\n"
      "#if 0\n#error skipped\n#foo\n#define NOT_F\n#else\n#define F\n#endif\n"
      "# \n#line 5\n#ident \"x\"\n# 33 \"f.c\"\n#pragma weird\n"
      "%:define G <: %: :>\n";
  EXPECT_EQ(defines_of({{"h.h", header}}),
            "#define A \n#define B \n#define C \n#define D \n#define E \n#define F \n#define G <: %: :>\n"
            "#define ONE 1\n");
}

TEST(Preprocessor, ReplacesNamesInConditionsExceptTheOperandOfDefined) {
  // Conditions without a macro name are evaluated as written: the names
  // around the operand of `defined` must still be found and replaced.
  EXPECT_EQ(defines_of({{"h.h",
                         "#define ONE 1\n#define ZERO 0\n#define F(x) x\n"
                         "#if defined ZERO && ONE\n#define A\n#endif\n"
                         "#if defined(ZERO) + ONE == 2\n#define B\n#endif\n"
                         "#if ONE + defined ONE == 2\n#define C\n#endif\n"
                         "#if defined UNDEFINED || ZERO\n#define NOT_D\n#endif\n"
                         "#if F\n#define NOT_E\n#endif\n"
                         "#if __LINE__ == 19\n#define G\n#endif\n"
                         "#if defined ONE ZERO\n#endif\n#if defined\n#endif\n#if defined (\n#endif\n"}}),
            "#define A \n#define B \n#define C \n#define F(x) x\n#define G \n#define ONE 1\n#define ZERO 0\n"
            "h.h:22: error: missing binary operator before token \"0\"\n"
            "h.h:24: error: operator \"defined\" requires an identifier\n"
            "h.h:26: error: operator \"defined\" requires an identifier\n");
}

TEST(Preprocessor, ReportsMisplacedConditionals) {
  EXPECT_EQ(defines_of({{"h.h",
                         "#else\n#endif\n#elif 1\n#if 1\n#else\n#else\n#elif 1\n#endif x\n#ifdef\n#endif\n"
                         "#ifdef 1\n#endif\n#ifndef A B\n#endif\n#if 1\n#ifdef X\n"}}),
            "h.h:1: error: #else without #if\n"
            "h.h:2: error: #endif without #if\n"
            "h.h:3: error: #elif without #if\n"
            "h.h:6: error: #else after #else\n"
            "h.h:4: error: the conditional began here\n"
            "h.h:7: error: #elif after #else\n"
            "h.h:4: error: the conditional began here\n"
            "h.h:8: warning: extra tokens at end of #endif directive\n"
            "h.h:9: error: no macro name given in #ifdef directive\n"
            "h.h:11: error: macro names must be identifiers\n"
            "h.h:13: warning: extra tokens at end of #ifndef directive\n"
            "h.h:16: error: unterminated #ifdef\n"
            "h.h:15: error: unterminated #if\n");
}

// Extra tokens after what a directive takes, in taken groups, in groups not
// taken and in groups inside those (where nothing after the name counts).
TEST(Preprocessor, WarnsOfExtraTokensWhereTheCompilerDoes) {
  EXPECT_EQ(defines_of({{"h.h",
                         "#if 0\n#if 1\n#else junk\n#elif 1/0\n#endif junk\n#else junk2\n#endif junk3\n"
                         "#if 1\n#else junk4\n#endif junk5\n#ifdef A B C\n#endif /* c */\n"
                         "#ifndef A /* c */ B\n#endif\n#undef A /* c */\n#undef A B\n"
                         "#ifdef X\n#elifdef Y Z\n#endif\n#if 0\n#elifndef Y Z\n#else x\n#endif\n"
                         "#if 0\n#else\n#endif /* x */ y\n#ifdef A\n#else\n#endif\n"}}),
            "h.h:4: error: #elif after #else\n"
            "h.h:2: error: the conditional began here\n"
            "h.h:6: warning: extra tokens at end of #else directive\n"
            "h.h:7: warning: extra tokens at end of #endif directive\n"
            "h.h:9: warning: extra tokens at end of #else directive\n"
            "h.h:10: warning: extra tokens at end of #endif directive\n"
            "h.h:11: warning: extra tokens at end of #ifdef directive\n"
            "h.h:13: warning: extra tokens at end of #ifndef directive\n"
            "h.h:16: warning: extra tokens at end of #undef directive\n"
            "h.h:18: warning: extra tokens at end of #elifdef directive\n"
            "h.h:21: warning: extra tokens at end of #elifndef directive\n"
            "h.h:22: warning: extra tokens at end of #else directive\n"
            "h.h:26: warning: extra tokens at end of #endif directive\n");
}

TEST(Preprocessor, DefinesAndUndefinesWithTheCompilersWarnings) {
  EXPECT_EQ(
      defines_of(
          {{"h.h",
            "#define A 1\n#define A  1 /**/\n#define A 2\n#undef NEVER\n#define F(x) x\n#define F(y) y\n"
            "#define\n#undef\n#undef 1\n#undef A B\n#define defined\n#undef __FILE__\n"
            "#ifdef __FILE__\n#define FILE_DEFINED\n#endif\n#define __LINE__ 3\n#undef __STDC__\n"
            "#error a   b  \"c\"\n#warning w\n#unknown\n#define __has_include 1\n"}}),
      "#define F(y) y\n#define __LINE__ 3\n"
      "h.h:3: warning: \"A\" redefined\n"
      "h.h:6: warning: \"F\" redefined\n"
      "h.h:7: error: no macro name given in #define directive\n"
      "h.h:8: error: no macro name given in #undef directive\n"
      "h.h:9: error: macro names must be identifiers\n"
      "h.h:10: warning: extra tokens at end of #undef directive\n"
      "h.h:11: error: \"defined\" cannot be used as a macro name\n"
      "h.h:12: warning: undefining \"__FILE__\"\n"
      "h.h:16: warning: \"__LINE__\" redefined\n"
      "h.h:17: warning: undefining \"__STDC__\"\n"
      "h.h:18: error: #error a b \"c\"\n"
      "h.h:19: warning: #warning w\n"
      "h.h:20: error: invalid preprocessing directive #unknown\n"
      "h.h:21: error: \"__has_include\" cannot be used as a macro name\n");
}

// -Wno-builtin-macro-redefined silences the changes of the built-in macros
// that are warned of while they stand (__FILE__, __DATE__), not of those
// always warned of (__LINE__, __COUNTER__) nor of __STDC__.
TEST(Preprocessor, BuiltinMacroRedefinedTurnsOnlyTheBuiltinsWarnedOfWhileTheyStand) {
  const Files files = {{"h.h",
                        "#define __FILE__ 1\n#undef __DATE__\n#define __LINE__ 1\n#undef __COUNTER__\n"
                        "#undef __STDC__\n"}};
  const std::string always =
      "h.h:3: warning: \"__LINE__\" redefined\n"
      "h.h:4: warning: undefining \"__COUNTER__\"\n"
      "h.h:5: warning: undefining \"__STDC__\"\n";
  EXPECT_EQ(defines_of(files, {"-Wno-builtin-macro-redefined"}),
            "#define __FILE__ 1\n#define __LINE__ 1\n" + always);
  EXPECT_EQ(defines_of(files),
            "#define __FILE__ 1\n#define __LINE__ 1\n"
            "h.h:1: warning: \"__FILE__\" redefined\n"
            "h.h:2: warning: undefining \"__DATE__\"\n" +
                always);
}

// -Wcomment: a "/*" inside a block comment (not the one whose "*" closes
// it), and a line comment that a splice carries on; never inside literals.
TEST(Preprocessor, WarnsOfCommentsWithinCommentsUnderWcomment) {
  const std::string header =
      "/* plain */ /**/ /*/ x */\n"
      "/* a /* b\n /* c */ \"/*\" '/' // d /* e\n"
      "#define X /* /*/ 1 // \\\n 2\n"
      "/* f *//* g */\n";
  EXPECT_EQ(defines_of({{"h.h", header}}, {"-Wcomment"}),
            "#define X 1\n"
            "h.h:2: warning: \"/*\" within comment\n"
            "h.h:3: warning: \"/*\" within comment\n"
            "h.h:4: warning: multi-line comment\n");
  EXPECT_EQ(defines_of({{"h.h", header}}), "#define X 1\n");
  // ISO C90 reads `//` in a directive as two divisions: no comment goes on.
  EXPECT_EQ(defines_of({{"h.h", "#define X 1 // \\\n 2\nint x; // c \\\n d\n"}}, {"-std=c90", "-Wcomment"}),
            "#define X 1 // 2\n"
            "h.h:3: error: C++ style comments are not allowed in ISO C90\n"
            "h.h:3: warning: multi-line comment\n");
}

// A diagnostic names the physical line of the token where the fault is
// found (or of the line's end), not the first line of a directive that
// splices or a comment carries over several.
TEST(Preprocessor, NamesThePhysicalLineOfTheFault) {
  const std::string header =
      "#define foo\\\n(X,)\n#define F(x,\\\nx) x\n#define D(x) #\\\ny\n#define G x ## \\\n\n"
      "#define H \\\n__VA_ARGS__\n#define SEMI\\\n;\n#define \\\n\n#if 1 \\\n 2\n#endif\n"
      "#if 1 + \\\n (\n#endif\n#if \\\n\n#endif\n#ifdef X \\\n y\n#endif\n#if 1 \\\n / 0\n#endif\n"
      "#if 1 /* a\n b */ 2 /*\n*/\n#endif\n#if 1 2 \\\n\n#endif\n#line \\\n x\n#include \\\n nothing\n"
      "#undef \\\n 1\n#define E(x...) \\\n x\n#define V(x, \\\n __VA_ARGS__)\n"
      // A misplaced # or ## points at the name, or at the parameters' `)`.
      "#define K(X /* a\n */ Y)\n#define L(X) /* a\n */ # /* b\n */\n#define \\\n M a ##\n"
      "#define N( \\\n X \\\n ) \\\n ## X\n";
  EXPECT_EQ(defines_of({{"h.h", header}}, {"-pedantic"}),
            "#define E(x...) x\n#define H __VA_ARGS__\n#define SEMI ;\n#define V(x,__VA_ARGS__) \n"
            "h.h:2: error: expected parameter name, found \")\"\n"
            "h.h:4: error: duplicate macro parameter \"x\"\n"
            "h.h:5: error: '#' is not followed by a macro parameter\n"
            "h.h:7: error: '##' cannot appear at either end of a macro expansion\n"
            "h.h:10: warning: __VA_ARGS__ can only appear in the expansion of a C99 variadic macro\n"
            "h.h:11: warning: ISO C99 requires whitespace after the macro name\n"
            "h.h:14: error: no macro name given in #define directive\n"
            "h.h:16: error: missing binary operator before token \"2\"\n"
            "h.h:19: error: missing ')' in expression\n"
            "h.h:22: error: #if with no expression\n"
            "h.h:25: warning: extra tokens at end of #ifdef directive\n"
            "h.h:28: error: division by zero in #if\n"
            "h.h:31: error: missing binary operator before token \"2\"\n"
            "h.h:34: error: missing binary operator before token \"2\"\n"
            "h.h:38: error: \"x\" after #line is not a positive integer\n"
            "h.h:40: error: #include expects \"FILENAME\" or <FILENAME>\n"
            "h.h:42: error: macro names must be identifiers\n"
            "h.h:43: warning: ISO C does not permit named variadic macros\n"
            "h.h:46: warning: __VA_ARGS__ can only appear in the expansion of a C99 variadic macro\n"
            "h.h:48: error: expected ',' or ')', found \"Y\"\n"
            "h.h:49: error: '#' is not followed by a macro parameter\n"
            "h.h:53: error: '##' cannot appear at either end of a macro expansion\n"
            "h.h:56: error: '##' cannot appear at either end of a macro expansion\n");
}

// A literal that its line ends before it closes is a pedwarn everywhere,
// in groups not taken too, on the line of its quote.
TEST(Preprocessor, ReportsLiteralsLeftOpenAsTheCompilerLexesThem) {
  const std::string header =
      "#define X ' x\n#if 0\ndon't\n#endif\n#define Y \"a\\\n\nL'ab\n#if 0\n'a' \"b\"\n#endif\n";
  const std::string defines = "#define X ' x\n#define Y \"a\n";
  EXPECT_EQ(defines_of({{"h.h", header}}), defines +
                                               "h.h:1: warning: missing terminating ' character\n"
                                               "h.h:3: warning: missing terminating ' character\n"
                                               "h.h:5: warning: missing terminating \" character\n"
                                               "h.h:7: warning: missing terminating ' character\n");
  EXPECT_EQ(defines_of({{"h.h", header}}, {"-pedantic-errors"}),
            defines +
                "h.h:1: error: missing terminating ' character\n"
                "h.h:3: error: missing terminating ' character\n"
                "h.h:5: error: missing terminating \" character\n"
                "h.h:7: error: missing terminating ' character\n");
}

// Under -pedantic a form feed or vertical tab between a directive's tokens
// pedwarns, in groups not taken too; one before the `#`, in a literal or in
// a comment does not.
TEST(Preprocessor, WarnsOfFormFeedsInDirectivesUnderPedantic) {
  const std::string header =
      "#define A\f1\n#if 0\n#define B\f2\n#endif\n#\fdefine C\v\v3\n\f#define D 4\n#define E \"\f\" /* \f */ "
      "5\n";
  const std::string defines = "#define A 1\n#define C 3\n#define D 4\n#define E \"\f\" 5\n";
  EXPECT_EQ(defines_of({{"h.h", header}}), defines);
  EXPECT_EQ(defines_of({{"h.h", header}}, {"-pedantic"}),
            defines +
                "h.h:1: warning: form feed in preprocessing directive\n"
                "h.h:3: warning: form feed in preprocessing directive\n"
                "h.h:5: warning: form feed in preprocessing directive\n"
                "h.h:5: warning: vertical tab in preprocessing directive\n"
                "h.h:5: warning: vertical tab in preprocessing directive\n");
}

TEST(Preprocessor, AFailedUseInAConditionStandsForItsNameAlone) {
  EXPECT_EQ(defines_of({{"h.h", "#define none() N\n#if none(1) + 1\n#define YES\n#endif\n"}}),
            "#define YES \n#define none() N\n"
            "h.h:2: error: macro \"none\" passed 1 arguments, but takes just 0\n");
}

TEST(Preprocessor, CommandLineSettingsApplyInOrder) {
  EXPECT_EQ(defines_of({{"h.h", "#ifdef X\n#define SAW_X X\n#endif\n"}},
                       {"-DX=2", "-D", "Y", "-DF(a)=a+1", "-UY", "-DZ=", "-UX", "-D", "X"}),
            "#define F(a) a+1\n#define SAW_X X\n#define X 1\n#define Z \n");
  EXPECT_EQ(defines_of({{"h.h", ""}}, {"-DX=2", "-DX"}),
            "#define X 1\n<command-line>:1: warning: \"X\" redefined\n");
}

TEST(Preprocessor, SearchesIncludesAsTheCompiler) {
  const Files files = {
      {"h.h",
       "#include \"sub/a.h\"\n#include <b.h>\n#include \"b.h\"\n#include <nothere.h>\n#include "
       "\"nothere.h\"\n"
       "#define NAME <c.h>\n#include <c.h>\n#if __has_include(<c.h>) && !__has_include(\"nothere.h\")\n"
       "#define HAS\n#endif\n#include\n#include x\n#include \"\"\n"},
      {"sub/a.h", "#include \"beside.h\"\n#define A_SEEN\n"},
      {"sub/beside.h", "#define BESIDE\n"},
      {"first/b.h", "#define B_FIRST\n#include_next <b.h>\n"},
      {"second/b.h", "#define B_SECOND\n"},
      {"second/c.h", "#define C\n"},
  };
  EXPECT_EQ(
      defines_of(files, {"-Ifirst", "-I", "second"}),
      "#define A_SEEN \n#define BESIDE \n#define B_FIRST \n#define B_SECOND \n#define C \n#define HAS \n"
      "#define NAME <c.h>\n"
      "h.h:4: error: nothere.h: No such file or directory\n"
      "h.h:5: error: nothere.h: No such file or directory\n"
      "h.h:11: error: #include expects \"FILENAME\" or <FILENAME>\n"
      "h.h:12: error: #include expects \"FILENAME\" or <FILENAME>\n"
      "h.h:13: error: empty filename in #include\n");
}

TEST(Preprocessor, ReadsIncludesWrittenPlainlyAsTheLexerDoes) {
  // Most header names are read without the lexer; any byte it would read
  // otherwise leaves the line to it. A <...> name ends at the first '>'
  // byte, whatever tokens its bytes would make (->, >>, >=, a // comment),
  // and a "..." name at the first '"' (a backslash escapes nothing).
  const Files files = {
      {"h.h",
       "#include <b.h> // c\n#include \t\"sub/a.h\"/* c */\n#  include <x-.h>\n#include <p+1.h>\n"
       "#include <a->\n#include <b.h> extra\n#include <b.h>>\n#include \"b.h\"x\n#include <sub//a.h>\n"
       "#include <b.h>=\n#import <x-.h>\n#include <b .h>\n#include \"sub/a.h\\\"\"\n"},
      {"first/b.h", "#define B_FIRST\n"},
      {"sub/a.h", "#define A\n"},
      {"first/x-.h", "#define DASH\n"},
      {"first/p+1.h", "#define PLUS\n"},
  };
  EXPECT_EQ(defines_of(files, {"-Ifirst"}),
            "#define A \n#define B_FIRST \n#define DASH \n#define PLUS \n"
            "h.h:5: error: a-: No such file or directory\n"
            "h.h:6: warning: extra tokens at end of #include directive\n"
            "h.h:7: warning: extra tokens at end of #include directive\n"
            "h.h:8: warning: extra tokens at end of #include directive\n"
            "h.h:9: error: sub//a.h: No such file or directory\n"
            "h.h:10: warning: extra tokens at end of #include directive\n"
            "h.h:11: warning: #import is a deprecated GCC extension\n"
            "h.h:12: error: b .h: No such file or directory\n"
            "h.h:13: warning: extra tokens at end of #include directive\n"
            "h.h:13: error: sub/a.h\\: No such file or directory\n");
}

// A header name that macros make is glued from the tokens they expand to,
// a blank where white space was written before one (none before the first
// token of a definition); a '<' whose '>' never comes is reported and the
// name taken to the end, as the compiler takes it.
TEST(Preprocessor, GluesTheHeaderNamesThatMacrosMake) {
  const std::string macros = "#define E\n#define LT <\n#define GT >\n#define N b\n#define INC(d, f) <d/f>\n";
  const Files files = {
      {"h.h",
       macros + "#include LT N.h GT E\n#include <x-.h GT\n#include LT p+1.h\n#include LT sub/a.h GT\n"
                "#include INC(sub, a.h)\n"
                "#if __has_include(<b.h GT) && __has_include(LT N.h GT E) && !__has_include(LT b.h GT)\n"
                "#define ALL_FOUND\n#endif\n#if __has_include(LT b.h)\n#endif\n#if __has_include(\"b.h\" N)\n"
                "#endif\n#include <p+1.h\n"},
      {"first/b.h", "#define B_FIRST\n"},
      {"first/x-.h", "#define DASH\n"},
      {"first/p+1.h", "#define PLUS\n"},
      {"first/sub/a.h", "#define A\n"},
  };
  EXPECT_EQ(defines_of(files, {"-Ifirst"}),
            "#define ALL_FOUND \n#define B_FIRST \n#define DASH \n#define E \n#define GT >\n"
            "#define INC(d,f) <d/f>\n#define LT <\n#define N b\n#define PLUS \n"
            "h.h:8: error: missing terminating > character\n"
            "h.h:8: error:  p+1.h: No such file or directory\n"
            "h.h:9: error:  sub/a.h: No such file or directory\n"
            "h.h:10: error: sub/ a.h: No such file or directory\n"
            "h.h:14: error: missing terminating > character\n"
            "h.h:14: error: missing ')' after \"__has_include\" operand\n"
            "h.h:16: error: missing ')' after \"__has_include\" operand\n"
            "h.h:16: error: missing '(' in expression\n"
            "h.h:18: error: missing terminating > character\n");
}

TEST(Preprocessor, HonoursGuardsOnceAndTheDepthLimit) {
  const Files files = {
      {"h.h",
       "#include \"g.h\"\n#include \"g.h\"\n#include \"o.h\"\n#include \"o.h\"\n#include \"self.h\"\n"},
      {"g.h", "/* guard */\n#ifndef G_H\n#define G_H\n#warning g read\n#endif\n"},
      {"o.h", "#pragma once\n#warning o read\n"},
      {"self.h", "#include \"self.h\"\n"},
  };
  EXPECT_EQ(defines_of(files),
            "#define G_H \n"
            "g.h:4: warning: #warning g read\n"
            "o.h:2: warning: #warning o read\n"
            "self.h:1: warning: #include nested depth 200 exceeds maximum of 200\n");
}

TEST(Preprocessor, ReadsAShutHeaderAgainWhenItIsNeeded) {
  // A header shut by its guard gives its text back once read; undefining the
  // guard, and -d of the same header, must read it again.
  const Files files = {
      {"x.h", "#include \"h.h\"\n#include \"h.h\"\n#undef H_H\n#include \"h.h\"\n#undef H_H\n"},
      {"h.h", "#ifndef H_H\n#define H_H\n#warning h read\n#endif\n"},
  };
  EXPECT_EQ(defines_of(files, {"-d", "x.h"}),
            "#define H_H \n"
            "h.h:3: warning: #warning h read\n"
            "h.h:3: warning: #warning h read\n"
            "h.h:3: warning: #warning h read\n");
}

TEST(Preprocessor, KeepsTheTextOfAHeaderThatIncludesItself) {
  // The inner reading finds the guard; the outer one still reads the text,
  // which y.h would take over if it were given back.
  const std::string padding(300, 'p');
  const Files files = {
      {"h.h", "#ifndef H_H\n#define H_H\n#include \"h.h\"\n#include \"y.h\"\n#define AFTER\n#endif\n"},
      {"y.h", "/*" + padding + "*/\n#define Y\n"},
  };
  EXPECT_EQ(defines_of(files), "#define AFTER \n#define H_H \n#define Y \n");
}

TEST(Preprocessor, IncludeCyclesEndWithinABudget) {
  // Each level includes itself twice: without a bound, 2^200 files.
  const testing::RunResult result =
      testing::run_in_memory({"--cpp", "-undef", "-nostdinc", "--print-defines", "-d", "h.h"},
                             {{"h.h", "#include \"h.h\"\n#include \"h.h\"\n#define DONE\n"}});
  EXPECT_TRUE(result.err.ends_with(
      "h.h:1: warning: more than 20000 files included; the rest of the #include directives are skipped\n"))
      << result.err.substr(result.err.size() - std::min<std::size_t>(result.err.size(), 300));
  EXPECT_NE(result.out.find("#define DONE \n"), std::string::npos);
  EXPECT_EQ(result.status, 0);
}

TEST(Preprocessor, PushesAndPopsMacros) {
  EXPECT_EQ(
      defines_of(
          {{"h.h",
            "#define A 1\n#pragma push_macro(\"A\")\n#undef A\n#define A 2\n#pragma push_macro(\"B\")\n"
            "#define B 5\n#pragma pop_macro(\"B\")\n#pragma pop_macro(\"A\")\n#pragma pop_macro(\"C\")\n"
            "#pragma push_macro(A)\n#pragma GCC warning \"careful\"\n"}}),
      "#define A 1\n"
      "h.h:10: error: invalid #pragma push_macro directive\n"
      "h.h:10: warning: extra tokens at end of #pragma directive\n"
      "h.h:11: warning: careful\n");
}

TEST(Preprocessor, PushAndPopActOnTheNameGccReadsFromTheString) {
  // "x$" saves and restores x, under the key "x$" alone; "$y" is a name of
  // its own; a string that begins with a universal character name or UTF-8
  // acts on no macro.
  EXPECT_EQ(defines_of({{"h.h",
                         "#define x 1\n#define x$ 1\n#pragma push_macro(\"x$\")\n#undef x\n#define x 2\n"
                         "#undef x$\n#define x$ 2\n#pragma pop_macro(\"x\")\n#pragma pop_macro(\"x$\")\n"
                         "#define $y 1\n#pragma push_macro(\"$y\")\n#undef $y\n#pragma pop_macro(\"$y\")\n"
                         "#define \u00e9 1\n#pragma push_macro(\"\\u00e9\")\n#pragma push_macro(\"\u00e9\")\n"
                         "#undef \u00e9\n#pragma pop_macro(\"\u00e9\")\n#pragma pop_macro(\"\\u00e9\")\n"}}),
            "#define $y 1\n#define x 1\n#define x$ 2\n");
}

// A _Pragma at a line's end acts before the directive on the next line.
TEST(Preprocessor, APragmaOperatorActsBeforeTheNextDirective) {
  const testing::RunResult result = testing::run_in_memory(
      {"--cpp", "-undef", "-nostdinc", "a.c"},
      {{"a.c",
        "#define A 1\n_Pragma(\"push_macro(\\\"A\\\")\")\n#undef A\n"
        "#define P _Pragma(\"pop_macro(\\\"A\\\")\")\nP\n#if !A\n#error lost\n#endif\n"}});
  EXPECT_EQ(result.err, "");
}

// A header whose code leaves an argument list open is reported on its last
// line, as the compiler reports it, also when the list takes in a header it
// includes; parentheses that close, or stand in a literal, or follow no
// macro, are none; nor is a list that a file read for its macros leaves.
TEST(Preprocessor, AnArgumentListLeftOpenAtAHeadersEndIsReported) {
  const std::string macro = "#define f(x) x\n";
  const testing::RunResult result = testing::run_in_memory(
      {"--cpp", "-undef", "-nostdinc", "-d", "d.h", "a.c"},
      {{"a.c", macro + "#include \"open.h\"\n#include \"unended.h\"\n#include \"outer.h\"\n"
                       "#include \"closed.h\"\nint main_file;\n"},
       {"open.h", "\n" + macro + "\nf( /* left open */\n"},
       {"unended.h", "int a;\nf(1,\n2"},
       {"outer.h", "f(\n#include \"inner.h\"\n)\n"},
       {"inner.h", "int inner;\n"},
       {"closed.h", "f(1 +\n2) + f(\")\"\n) + g(\n\"(\" (\n"},
       {"d.h", macro + "f(\n"}});
  EXPECT_EQ(result.err,
            "open.h:4: error: unterminated argument list invoking macro \"f\"\n"
            "unended.h:3: error: unterminated argument list invoking macro \"f\"\n"
            "inner.h:1: error: unterminated argument list invoking macro \"f\"\n");
  EXPECT_EQ(result.status, 1);
}

TEST(Preprocessor, APoppedMacroExpandsAsItsDefinition) {
  // A is used before it is pushed and after it is popped; B only after.
  const testing::RunResult result = testing::run_in_memory(
      {"--cpp", "-undef", "-nostdinc", "a.c"},
      {{"a.c",
        "#define A(x) x %:%: 1 %:x\n#define B <%a%>\nA(u)\n#pragma push_macro(\"A\")\n"
        "#pragma push_macro(\"B\")\n#undef A\n#define A 2\n#undef B\nA B\n#pragma pop_macro(\"A\")\n"
        "#pragma pop_macro(\"B\")\nA(y) B\n"}});
  EXPECT_EQ(result.out,
            "#define A(x) x %:%: 1 %:x\n#define B <%a%>\nA(u)`u1 \"u\"'\n#pragma push_macro(\"A\")\n"
            "#pragma push_macro(\"B\")\n#undef A\n#define A 2\n#undef B\nA`2' B\n#pragma pop_macro(\"A\")\n"
            "#pragma pop_macro(\"B\")\nA(y)`y1 \"y\"' B`<%a%>'\n");
  EXPECT_EQ(result.err, "");
}

TEST(Preprocessor, EachSourceStartsFromTheSameTable) {
  const testing::RunResult result = testing::run_in_memory(
      {"--cpp", "-undef", "-nostdinc", "-DBASE", "a.c", "a.c"},
      {{"a.c",
        "#ifdef MINE\n#warning carried over\n#endif\n#ifndef BASE\n#warning base lost\n#endif\n"
        "#define MINE\n#undef BASE\n#include \"o.h\"\n"},
       {"o.h", "#pragma once\n#warning o read\n"}});
  EXPECT_EQ(result.err, "o.h:2: warning: #warning o read\no.h:2: warning: #warning o read\n");
  EXPECT_EQ(result.status, 0);
}

TEST(Preprocessor, LaterSourcesReadAHeadersLinesAsTheFirstFoundThem) {
  // Later sources of a run take a header's lines from its first reading:
  // lines joined by splices and comments, a directive after a comment that
  // spans lines, and a header read again inside itself while its lines are
  // being found. Each source must still read every line anew.
  const Files files = {
      {"h.h",
       "#ifndef H_H\n#define H_H\n#include \"h.h\"\n#ifdef B_SIDE\n#define V \\\n  2\n#else\n"
       "/* a comment\n#define V 9\n*/ #define V 1\n#endif\nint v = V, line = __LINE__;\n#endif\n"},
      {"a.c", "#include \"h.h\"\nV\n"},
      {"b.c", "#define B_SIDE\n#include \"h.h\"\nV\n"},
  };
  const testing::RunResult result =
      testing::run_in_memory({"--cpp", "-undef", "-nostdinc", "-f", "$x", "a.c", "b.c", "a.c"}, files);
  EXPECT_EQ(result.out,
            "#include \"h.h\"\n1\n"
            "#define B_SIDE\n#include \"h.h\"\n2\n"
            "#include \"h.h\"\n1\n");
  EXPECT_EQ(result.err, "");
}

TEST(Preprocessor, ReadsHeadersOfAnySizeWhole) {
  // Streams without a known size are read in blocks that double from 64 KiB:
  // files of 16-byte lines end just before, at and after such a size.
  for (const int count : {0, 4094, 4095, 4096, 8191, 9000}) {
    std::string header;
    for (int i = 0; i < count; ++i) {
      char line[32];
      std::snprintf(line, sizeof line, "#define M%04d 1\n", i);
      header += line;
    }
    header += "#define LAST 22\n";
    const std::string listed = defines_of({{"h.h", header}});
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), count + 1) << count;
    EXPECT_NE(listed.find("#define LAST 22\n"), std::string::npos) << count;
  }
}

TEST(Preprocessor, ReadsAHeaderGivenForItsMacrosInBlocks) {
  // A -d header is read 64 KiB at a time: a definition split by a splice or
  // a comment must come out whole wherever the block edge cuts it.
  for (const std::size_t before : {65530, 65533, 65534, 65535, 65536, 65537}) {
    const std::string header = "/*" + std::string(before - 4, 'p') + "*/" +
                               "\\\n#def\\\nine SPLIT 1 /* a\\\n comment\\\n */ + 2\n#define AFTER\n";
    EXPECT_EQ(defines_of({{"h.h", header}}), "#define AFTER \n#define SPLIT 1 + 2\n") << before;
  }
}

TEST(Preprocessor, IncludesAHeaderGivenForItsMacrosAgain) {
  // Its text is not kept: a later #include reads it again, unless its guard
  // shuts it.
  const testing::RunResult result =
      testing::run_in_memory({"--cpp", "-undef", "-nostdinc", "-d", "plain.h", "-d", "guarded.h", "a.c"},
                             {{"plain.h", "#warning plain read\n"},
                              {"guarded.h", "#ifndef G_H\n#define G_H\n#warning guarded read\n#endif\n"},
                              {"a.c", "#include \"plain.h\"\n#include \"guarded.h\"\n"}});
  EXPECT_EQ(result.err,
            "plain.h:1: warning: #warning plain read\nguarded.h:3: warning: #warning guarded read\n"
            "plain.h:1: warning: #warning plain read\n");
  EXPECT_EQ(result.status, 0);
}

TEST(Preprocessor, CopiesSourcesOfAnyLineLengthWhole) {
  // Sources are read in 64 KiB blocks; a line longer than the buffer makes it
  // grow. Lines of 1 to 200000 bytes cross the block edges at every offset.
  std::string source = "#define UNUSED 1\n";
  for (const std::size_t length : {65535, 65536, 65537, 1, 200000, 0, 131071, 70000}) {
    source.append(length, 'a');
    source += "\n#if 0\nskipped\n#endif\n";
  }
  source += "no newline at the end";
  const testing::RunResult result =
      testing::run_in_memory({"--cpp", "-undef", "-nostdinc", "a.c"}, {{"a.c", source}});
  EXPECT_TRUE(result.out == source) << result.out.size() << " bytes instead of " << source.size();
  EXPECT_EQ(result.err, "");
}

TEST(Preprocessor, UnreadableFilesMakeTheStatusOne) {
  const testing::RunResult result = testing::run_in_memory(
      {"--cpp", "-undef", "-nostdinc", "-d", "missing.h", "a.c", "gone.c"}, {{"a.c", "x\n"}});
  EXPECT_EQ(result.out, "x\n");
  EXPECT_EQ(result.err,
            "sornik: error: missing.h: cannot open: No such file or directory\n"
            "sornik: error: gone.c: cannot open: No such file or directory\n");
  EXPECT_EQ(result.status, 1);
}

}  // namespace
}  // namespace sornik::cmode
