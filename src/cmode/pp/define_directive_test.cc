// Tests of #define parsing: listings, errors, the fast path and the table its macros go to.
#include "cmode/pp/define_directive.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "cmode/lex/dialect.h"
#include "cmode/macro/macro_table.h"
#include "common/name_hash.h"

namespace sornik::cmode {
namespace {

// The listed definition that a parse made, or "error: ...", then any
// warnings after " / ".
std::string listed(const DefineParse& parse) {
  std::string out;
  if (parse.macro) {
    // The table takes the macro with this hash, not one of its own.
    EXPECT_EQ(parse.name_hash, hash_name(parse.macro->name()));
    append_define_line(out, *parse.macro);
  } else {
    out = "error: " + parse.error;
  }
  for (const Finding& warning : parse.warnings) out += " / " + warning.text;
  return out;
}

// Parses `text` (what follows "#define") from its tokens, and as a directive
// line (with a newline added, in a block of its exact size) read token by
// token; both must give the same, which is returned as listed() has it.
std::string define(std::string_view text) {
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex(text, tokens);
  const std::string from_tokens = listed(parse_define(tokens));
  const std::unique_ptr<char[]> line(new char[text.size() + 1]);
  std::memcpy(line.get(), text.data(), text.size());
  line[text.size()] = '\n';
  const MacroTable table;
  EXPECT_EQ(listed(parse_define_text({line.get(), text.size() + 1}, lexer, tokens, table)), from_tokens)
      << text;
  return from_tokens;
}

struct DefineCase {
  std::string_view text;
  std::string_view listed;
};

TEST(ParseDefine, ListsDefinitionsAsTheCompiler) {
  const DefineCase cases[] = {
      {"A 1", "#define A 1"},
      {"E", "#define E "},
      {"E2 /* c */  ", "#define E2 "},
      {"Y(...)  __VA_ARGS__ +  ( 1 )   /* c */ - 2", "#define Y(...) __VA_ARGS__ + ( 1 ) - 2"},
      {"X(a,b...) a ## b", "#define X(a,b...) a ## b"},
      {"T(x, y , z...)x##y", "#define T(x,y,z...) x ##y"},
      {"N(x) a # x b ## c %:%: d %: x", "#define N(x) a #x b ## c ## d #x"},
      {"S(x)#x", "#define S(x) #x"},
      {"F() 1", "#define F() 1"},
      {"O (x) x", "#define O (x) x"},
      {"H # x ## y", "#define H # x ## y"},
      {"V(a,...) f(a, ##__VA_ARGS__)", "#define V(a,...) f(a, ##__VA_ARGS__)"},
      {"L 1\\\n + 2", "#define L 1 + 2"},
      // The listed text is the line's own text only where the line has it
      // spaced as the listing is.
      {"B a\tb  c/**/d \t", "#define B a b c d"},
      {"T a\tb", "#define T a b"},
      {"V a\fb\vc", "#define V a b c"},
      {"  C  a (b)", "#define C a (b)"},
      {"P(x) x ## y ##z", "#define P(x) x ## y ##z"},
      {"Q(x) a # x #x", "#define Q(x) a #x #x"},
      {"G(x) a%:x", "#define G(x) a#x"},
  };
  for (const DefineCase& c : cases) EXPECT_EQ(define(c.text), c.listed) << c.text;
}

TEST(ParseDefine, RejectsWhatTheCompilerRejects) {
  const DefineCase cases[] = {
      {"", "error: no macro name given in #define directive"},
      {"1x", "error: macro names must be identifiers"},
      {"defined", "error: \"defined\" cannot be used as a macro name"},
      {"F(a,a) a", "error: duplicate macro parameter \"a\""},
      {"G(a b) a", "error: expected ',' or ')', found \"b\""},
      {"H(1) 1", "error: expected parameter name, found \"1\""},
      {"I(a", "error: expected ')' before end of line"},
      {"J(a... ,b) a", "error: expected ')' after \"...\""},
      {"K(...) # x", "error: '#' is not followed by a macro parameter"},
      {"C(a) a#", "error: '#' is not followed by a macro parameter"},
      // __VA_OPT__ may follow `#` only where it is the variadic operator.
      {"H(x) #__VA_OPT__(x)", "error: '#' is not followed by a macro parameter"},
      {"H(x,...) # __VA_OPT__(x)", "#define H(x,...) #__VA_OPT__(x)"},
      {"L ## a", "error: '##' cannot appear at either end of a macro expansion"},
      {"M a ##", "error: '##' cannot appear at either end of a macro expansion"},
      {"V(", "error: expected parameter name before end of line"},
      {"W(a,)", "error: expected parameter name, found \")\""},
  };
  for (const DefineCase& c : cases) EXPECT_EQ(define(c.text), c.listed) << c.text;
}

// A variadic macro's __VA_OPT__ opens a group: a '(' next, its ')' on the
// line, no __VA_OPT__ inside, no `##` at its ends. Only the first error of
// a line is given; groups after a good one are checked too.
TEST(ParseDefine, ChecksTheGroupsOfVaOpt) {
  const DefineCase cases[] = {
      {"A(x,...) __VA_OPT__", "error: unterminated __VA_OPT__"},
      {"A(x,...) __VA_OPT__(", "error: unterminated __VA_OPT__"},
      {"A(x,...) __VA_OPT__(()", "error: unterminated __VA_OPT__"},
      {"A(x,...) __VA_OPT__((x))", "#define A(x,...) __VA_OPT__((x))"},
      {"A(x,...) __VA_OPT__()", "#define A(x,...) __VA_OPT__()"},
      {"A(x,...) __VA_OPT__ x", "error: __VA_OPT__ must be followed by an open parenthesis"},
      {"A(x,...) __VA_OPT__(__VA_OPT__)", "error: __VA_OPT__ may not appear in a __VA_OPT__"},
      {"A(x,...) __VA_OPT__(a) __VA_OPT__(b", "error: unterminated __VA_OPT__"},
      {"A(x,...) __VA_OPT__(##)", "error: '##' cannot appear at either end of __VA_OPT__"},
      {"A(x,...) __VA_OPT__(x ##)", "error: '##' cannot appear at either end of __VA_OPT__"},
      {"A(x,...) __VA_OPT__(## x)", "error: '##' cannot appear at either end of __VA_OPT__"},
      {"A(x,...) __VA_OPT__(a ## x)", "#define A(x,...) __VA_OPT__(a ## x)"},
      {"A(x,...) __VA_OPT__((x ##) a)", "#define A(x,...) __VA_OPT__((x ##) a)"},
      {"A(x,...) x ## __VA_OPT__(a) ## x", "#define A(x,...) x ## __VA_OPT__(a) ## x"},
      {"A(x,...) #__VA_OPT__(", "error: unterminated __VA_OPT__"},
      // Outside a variadic macro the name is only warned of.
      {"A(x) __VA_OPT__(",
       "#define A(x) __VA_OPT__( / __VA_OPT__ can only appear in the expansion of a "
       "C++20 variadic macro"},
  };
  for (const DefineCase& c : cases) EXPECT_EQ(define(c.text), c.listed) << c.text;
}

// Parameters p0 to p<count - 1>, then `more`.
std::string parameters(int count, const std::string& more) {
  std::string list = "(";
  for (int i = 0; i < count; ++i) list += "p" + std::to_string(i) + ",";
  return list + more + ")";
}

// Long lists are looked up another way than short ones: both sides of the
// change, and the names that # must be followed by.
TEST(ParseDefine, LongParameterListsAreCheckedLikeShortOnes) {
  for (const int before : {14, 15, 16, 40}) {
    EXPECT_EQ(define("F" + parameters(before, "p3") + " x"), "error: duplicate macro parameter \"p3\"")
        << before;
    EXPECT_EQ(define("F" + parameters(before, "q") + " #q #p3"),
              "#define F" + parameters(before, "q") + " #q #p3")
        << before;
    EXPECT_EQ(define("F" + parameters(before, "q") + " #r"),
              "error: '#' is not followed by a macro parameter")
        << before;
  }
}

TEST(ParseDefine, WarnsOfVariadicNamesOutsideVariadicMacros) {
  EXPECT_EQ(define("U __VA_ARGS__"),
            "#define U __VA_ARGS__ / __VA_ARGS__ can only appear in the expansion of a C99 variadic macro");
  EXPECT_EQ(define("Z(x...) __VA_ARGS__"),
            "#define Z(x...) __VA_ARGS__ / __VA_ARGS__ can only appear in the expansion of a C99 variadic "
            "macro");
  EXPECT_EQ(define("R __VA_OPT__"),
            "#define R __VA_OPT__ / __VA_OPT__ can only appear in the expansion of a C++20 variadic macro");
  EXPECT_EQ(define("Q(a,...) __VA_OPT__(a)"), "#define Q(a,...) __VA_OPT__(a)");
}

// The severity of the one warning of `text` (what follows "#define").
Severity warned(std::string_view text) {
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex(text, tokens);
  const DefineParse parse = parse_define(tokens);
  EXPECT_EQ(parse.warnings.size(), 1u) << text;
  return parse.warnings.empty() ? Severity::error : parse.warnings[0].severity;
}

// C99 and C++11 want white space between the name and the list, a pedwarn;
// C90 and C++98 only warn of a character of the basic set there.
TEST(ParseDefine, WantsWhiteSpaceAfterTheNameAsTheStandardHasIt) {
  EXPECT_EQ(define("a!"), "#define a ! / ISO C99 requires whitespace after the macro name");
  EXPECT_EQ(define("b\"x\""), "#define b \"x\" / ISO C99 requires whitespace after the macro name");
  EXPECT_EQ(warned("a!"), Severity::pedwarn);
  // A comment is white space; a parameter list is no list.
  EXPECT_EQ(define("c/**/!"), "#define c !");
  EXPECT_EQ(define("d(x)x"), "#define d(x) x");
  EXPECT_EQ(define("e\t!"), "#define e !");
  EXPECT_EQ(define("f\n"), "#define f ");
  {
    const ScopedLexingDialect c90(*find_dialect("c90", false));
    EXPECT_EQ(define("a!"), "#define a ! / missing whitespace after the macro name");
    EXPECT_EQ(warned("a~"), Severity::warning);
    EXPECT_EQ(warned("a\\x"), Severity::warning);
    // Outside the basic character set.
    EXPECT_EQ(warned("a@"), Severity::pedwarn);
    EXPECT_EQ(warned("a`"), Severity::pedwarn);
  }
  {
    const ScopedLexingDialect c94(*find_dialect("iso9899:199409", false));
    EXPECT_EQ(define("a!"), "#define a ! / missing whitespace after the macro name");
  }
  {
    const ScopedLexingDialect cxx11(*find_dialect("c++11", true));
    EXPECT_EQ(define("a!"), "#define a ! / ISO C++11 requires whitespace after the macro name");
  }
  {
    const ScopedLexingDialect cxx98(*find_dialect("c++98", true));
    EXPECT_EQ(define("a!"), "#define a ! / missing whitespace after the macro name");
  }
}

// A line whose list is its own normalised text is taken without its tokens;
// each byte or pair that can make the text differ, or give a diagnostic, is
// met inside a list, at its ends and next to what is still plain.
TEST(ParseDefine, ListsOfPlainTextAndTheirNeighboursListAlike) {
  using namespace std::string_view_literals;
  const DefineCase cases[] = {
      {"A a+b/c%d_e <%f%> g", "#define A a+b/c%d_e <%f%> g"},
      {"A \t a b\t \r", "#define A a b"},
      {"A a  b", "#define A a b"},
      {"A a \tb", "#define A a b"},
      {"A a\tb", "#define A a b"},
      {"A a\fb\vc\rd", "#define A a b c d"},
      {"A a\0b\0"sv, "#define A a b"},
      {"A a//b", "#define A a"},
      {"A a/*b*/c/", "#define A a c/"},
      {"A/**/(x) x", "#define A (x) x"},
      {"A(x)/**/x", "#define A(x) x"},
      {"F(x) a%:x %", "#define F(x) a#x %"},
      {"A a%:%:b", "#define A a ##b"},
      {"F(x) x#", "error: '#' is not followed by a macro parameter"},
      {"A #x", "#define A #x"},
      {"A a\\b \\ c", "#define A a\\b \\ c"},
      {"A \"a  b\"", "#define A \"a  b\""},
      {"A 'a  b  ", "#define A 'a  b  "},
      {"A L'a'  b", "#define A L'a' b"},
      {"A x__VA_ARGS__ _VA_OPT__", "#define A x__VA_ARGS__ _VA_OPT__"},
      {"A __VA_ARGSX", "#define A __VA_ARGSX"},
      {"A x __VA_ARGS__",
       "#define A x __VA_ARGS__ / __VA_ARGS__ can only appear in the expansion of a C99 variadic macro"},
      {"A __VA_OPT__ x",
       "#define A __VA_OPT__ x / __VA_OPT__ can only appear in the expansion of a C++20 variadic macro"},
  };
  for (const DefineCase& c : cases) EXPECT_EQ(define(c.text), c.listed) << c.text;
}

// The macro that `text` (what follows "#define") makes.
MacroPtr parsed(std::string_view text) {
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex(text, tokens);
  return parse_define(tokens).macro;
}

// The macro that the directive line `text` (what follows "#define", with a
// newline) makes, read as the preprocessor reads a line without splices.
MacroPtr parsed_line(std::string_view text) {
  Lexer lexer;
  std::vector<Token> tokens;
  MacroTable table;
  return parse_define_text(std::string(text) + "\n", lexer, tokens, table).macro;
}

TEST(ParseDefine, SameDefinitionIgnoresOnlyTheAmountOfWhiteSpace) {
  EXPECT_TRUE(same_definition(*parsed("A 1"), *parsed("A  1 /* */ ")));
  EXPECT_FALSE(same_definition(*parsed("A 1+2"), *parsed("A 1 + 2")));
  EXPECT_FALSE(same_definition(*parsed("F(x) x"), *parsed("F(y) y")));
  EXPECT_FALSE(same_definition(*parsed("F(x) x"), *parsed("F x")));
  EXPECT_FALSE(same_definition(*parsed("F(x...) x"), *parsed("F(x) x")));
}

// White space around `#` and `##` counts as between any other tokens, though
// the normalised text writes "#x" and " ##" whatever the source had; so does
// a digraph's spelling. Each pair is compared both ways, and read from
// tokens and from a line.
TEST(ParseDefine, SameDefinitionSeesTheSpellingOfOperators) {
  const std::pair<const char*, const char*> differing[] = {
      {"S(s) #s", "S(s) # s"},           {"S(s) x #s", "S(s) x # s"},
      {"G(a,b) a ##b", "G(a,b) a##b"},   {"G(a,b) a/**/##b", "G(a,b) a##b"},
      {"G(a,b) a ## b", "G(a,b) a ##b"}, {"G(a,b) a##b", "G(a,b) a%:%:b"},
      {"S(s) #s", "S(s) %:s"},           {"S(s) #s ## s", "S(s) #s##s"},
      {"S(s) #s ## s", "S(s) # s ## s"}, {"O # x", "O #x"},
  };
  for (const auto& [first, second] : differing) {
    EXPECT_FALSE(same_definition(*parsed(first), *parsed(second))) << first << " | " << second;
    EXPECT_FALSE(same_definition(*parsed_line(second), *parsed_line(first))) << second << " | " << first;
  }
  const std::pair<const char*, const char*> same[] = {
      {"S(s)  #s", "S(s) #s"},
      {"S(s) #s  ", "S(s) #s/**/"},
      {"S(s) #/**/s", "S(s) # s"},
      {"G(a,b) a  ##  b", "G(a,b) a/**/##/**/b"},
      {"G(a,b) x #a ##b %:%: b", "G(a,b) x #a ##b %:%:  b"},
  };
  for (const auto& [first, second] : same) {
    EXPECT_TRUE(same_definition(*parsed(first), *parsed(second))) << first << " | " << second;
    EXPECT_TRUE(same_definition(*parsed_line(second), *parsed_line(first))) << second << " | " << first;
  }
  // The marks live beside the text: a copy keeps them, the listing shows none.
  const MacroPtr spaced = parsed_line("S(s) # s");
  EXPECT_TRUE(same_definition(*Macro::copy(*spaced), *spaced));
  EXPECT_FALSE(same_definition(*Macro::copy(*spaced), *parsed("S(s) #s")));
  EXPECT_EQ(spaced->replacement(), "#s");
  EXPECT_EQ(parsed("A 1")->operator_marks(), "");
}

TEST(MacroTable, ReplacesAndRemovesByName) {
  MacroTable table;
  table.define(parsed("A"));
  table.define(parsed("A 2"));
  ASSERT_NE(table.find("A"), nullptr);
  EXPECT_EQ(table.find("A")->replacement(), "2");
  EXPECT_EQ(table.size(), 1u);
  EXPECT_TRUE(table.undefine("A"));
  EXPECT_FALSE(table.undefine("A"));
  EXPECT_EQ(table.find("A"), nullptr);
}

TEST(MacroTable, KeepsEveryMacroInPlaceWhenRoomIsMadeAhead) {
  MacroTable table;
  std::vector<const Macro*> made;
  for (int i = 0; i < 60; ++i) {
    table.define(parsed("M" + std::to_string(i) + " " + std::to_string(i)));
    made.push_back(table.find("M" + std::to_string(i)));
  }
  // Removal marks among the slots, and room asked for fewer names than held.
  for (int i = 0; i < 60; i += 3) EXPECT_TRUE(table.undefine("M" + std::to_string(i)));
  table.reserve(0);
  table.reserve(5000);
  table.reserve(100);
  EXPECT_EQ(table.size(), 40u);
  for (int i = 0; i < 60; ++i) {
    const std::string name = "M" + std::to_string(i);
    EXPECT_EQ(table.find(name), i % 3 == 0 ? nullptr : made[static_cast<std::size_t>(i)]) << name;
  }
  for (int i = 60; i < 5000; ++i) table.define(parsed("M" + std::to_string(i) + " " + std::to_string(i)));
  EXPECT_EQ(table.size(), 4980u);
  EXPECT_EQ(table.find("M1"), made[1]);
  ASSERT_NE(table.find("M4999"), nullptr);
  EXPECT_EQ(table.find("M4999")->replacement(), "4999");
  EXPECT_EQ(table.find("M3"), nullptr);
}

}  // namespace
}  // namespace sornik::cmode
