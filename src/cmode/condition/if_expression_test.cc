// Tests of #if evaluation: results and errors as the compiler's, and deep nesting.
#include "cmode/condition/if_expression.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

#include "cmode/lex/dialect.h"

namespace sornik::cmode {
namespace {

// `D` is defined; __has_include finds <yes.h>, "yes.h" and "quoted.h". In
// its operands LT expands to `<`, GT to `>`, Y to `yes.h`, S to "yes.h", R
// to `)`, and M to `yes.h>)`; no blank stands before an expansion's first
// token.
class FakeContext : public ConditionContext {
 public:
  bool is_defined(std::string_view name) override { return name == "D"; }
  void expand_operand(std::span<const Token> written, std::vector<Token>& out) override {
    static const std::map<std::string_view, std::string_view> kMacros = {
        {"LT", "<"}, {"GT", ">"}, {"Y", "yes.h"}, {"S", "\"yes.h\""}, {"R", ")"}, {"M", "yes.h>)"}};
    for (const Token& token : written) {
      const auto macro = kMacros.find(token.text);
      if (macro == kMacros.end()) {
        out.push_back(token);
        continue;
      }
      Lexer lexer;
      std::vector<Token> expansion;
      lexer.lex(macro->second, expansion);
      expansion[0].space_before = false;
      out.insert(out.end(), expansion.begin(), expansion.end());
    }
  }
  bool header_found(std::string_view name, bool angled, bool next) override {
    return !next && (name == "yes.h" || (!angled && name == "quoted.h"));
  }
  std::intmax_t has_feature(std::string_view test) override {
    if (test == "__has_c_attribute(nodiscard)") return 202003;
    return test == "__has_attribute(gnu::unused)" ? 1 : 0;
  }
};

// "1" or "0", then " / warning" for each warning or " / error: text".
std::string evaluate(std::string_view expression) {
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex(expression, tokens);
  FakeContext context;
  const Condition condition = evaluate_condition(tokens, context);
  std::string out = condition.value ? "1" : "0";
  for (const Finding& warning : condition.warnings) out += " / " + warning.text;
  if (!condition.error.empty()) out += " / error: " + condition.error;
  return out;
}

struct Case {
  std::string_view expression;
  std::string_view result;
};

// The severities of the warnings of `expression`, one letter each: w for a
// warning, p for a pedwarn, e for an error.
std::string severities(std::string_view expression) {
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex(expression, tokens);
  FakeContext context;
  std::string out;
  for (const Finding& warning : evaluate_condition(tokens, context).warnings)
    out += warning.severity == Severity::warning ? 'w' : warning.severity == Severity::pedwarn ? 'p' : 'e';
  return out;
}

// The escapes of character constants, as the compiler judges them: what ISO C
// forbids is a pedwarn, a \x without digits an error.
TEST(Condition, JudgesEscapesAsTheCompiler) {
  const Case cases[] = {
      {"'\\x'", "0 / \\x used with no following hex digits"},
      {"'\\x0ff' == 255 || '\\x0ff' == -1", "1"},
      {"'\\x100'", "0 / hex escape sequence out of range"},
      {"L'\\x100' == 256", "1"},
      {"'\\377'", "1"},
      {"'\\400'", "0 / octal escape sequence out of range"},
      {"'\\p' == 'p'", "1 / unknown escape sequence: '\\p'"},
  };
  for (const Case& c : cases) EXPECT_EQ(evaluate(c.expression), c.result) << c.expression;
  EXPECT_EQ(severities("'\\x'"), "e");
  EXPECT_EQ(severities("'\\x100' + '\\400' + '\\p'"), "ppp");
  EXPECT_EQ(severities("'ab'"), "w");
  EXPECT_EQ(severities("0xfffffffffffffffff"), "p");
}

// A comma is a pedwarn under -pedantic: in C90 anywhere, in C99 where it is
// evaluated.
TEST(Condition, WarnsOfACommaUnderPedantic) {
  EXPECT_EQ(severities("(1, 2)"), "");
  const DiagnosticRules saved = diagnostic_rules();
  DiagnosticRules pedantic;
  pedantic.pedantic = true;
  set_diagnostic_rules(pedantic);
  EXPECT_EQ(evaluate("(1, 2)"), "1 / comma operator in operand of #if");
  EXPECT_EQ(severities("(1, 2)"), "p");
  EXPECT_EQ(severities("0 && (1, 2)"), "");
  {
    const ScopedLexingDialect c90(*find_dialect("c90", false));
    EXPECT_EQ(severities("0 && (1, 2)"), "p");
  }
  set_diagnostic_rules(saved);
}

// What ISO C lacks is a pedwarn under -pedantic only: \e, and long long
// constants before C99 (C++11), whatever their other suffix letters.
TEST(Condition, WarnsOfExtensionsUnderPedantic) {
  EXPECT_EQ(severities("'\\e' + 1LL"), "");
  const DiagnosticRules saved = diagnostic_rules();
  DiagnosticRules pedantic;
  pedantic.pedantic = true;
  set_diagnostic_rules(pedantic);
  EXPECT_EQ(evaluate("'\\E' == 27"), "1 / non-ISO-standard escape sequence, '\\E'");
  EXPECT_EQ(severities("1LL + 1ull + 1LLu + 1L + 1lu"), "");
  {
    const ScopedLexingDialect c90(*find_dialect("gnu89", false));
    EXPECT_EQ(evaluate("1LL"), "1 / use of C99 long long integer constant");
    EXPECT_EQ(severities("1ULL + 1llU + 1L + 1lu + 1"), "pp");
  }
  {
    const ScopedLexingDialect cxx98(*find_dialect("c++98", true));
    EXPECT_EQ(evaluate("1LL"), "1 / use of C++11 long long integer constant");
  }
  set_diagnostic_rules(saved);
}

// A universal character name of a character constant must name a character
// that the source may not hold plainly: as gcc has it, a surrogate is an
// error, in C so is a basic character but $, @ and `, and one beyond U+10FFFF
// a pedwarn.
TEST(Condition, ChecksTheCharactersOfUniversalNames) {
  const ScopedLexingDialect c99(*find_dialect("c99", false));
  EXPECT_EQ(severities("L'\\u00a0' + '\\u0024' + '\\u0040' + '\\U00000060' + L'\\U0010FFFF' + L'\\uD7FF'"),
            "");
  EXPECT_EQ(evaluate("'\\u0025' > 0"), "1 / \\u0025 is not a valid universal character");
  EXPECT_EQ(severities("L'\\uD800' + L'\\U0000DFFF' + L'\\u009F' + L'\\uE000'"), "eee");
  EXPECT_EQ(evaluate("L'\\U00110000' > 0"), "1 / \\U00110000 is outside the UCS codespace");
  EXPECT_EQ(severities("L'\\U1234abcd'"), "p");
  const ScopedLexingDialect cxx17(*find_dialect("c++17", true));
  EXPECT_EQ(severities("L'\\u0025' + L'\\U00110000' + L'\\uDFFF'"), "e");
}

// The warnings of `expression` whose tokens all have `system_macro` set.
std::string evaluate_from_macro(std::string_view expression, std::uint8_t system_macro) {
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex(expression, tokens);
  for (Token& token : tokens) token.system_macro = system_macro;
  FakeContext context;
  std::string out;
  for (const Finding& warning : evaluate_condition(tokens, context).warnings) out += warning.text + "; ";
  return out;
}

// As gcc reads a number of #if: a system header's macro that spelled it
// hides the warnings of its form, one that only holds it (as an argument)
// those of -Wtraditional; the warnings of its value stay. Binary constants
// are C2X's and C++14's.
TEST(Condition, LeavesOutFormWarningsOfSystemHeadersMacros) {
  const DiagnosticRules saved = diagnostic_rules();
  DiagnosticRules rules;
  rules.pedantic = true;
  rules.warnings_on |= DiagnosticRules::bit(Warning::traditional);
  set_diagnostic_rules(rules);
  {
    const ScopedLexingDialect c90(*find_dialect("c90", false));
    const std::string_view numbers = "1U + 0b1 + 18446744073709551615 + 1LL";
    const std::string value = "integer constant is so large that it is unsigned; ";
    const std::string long_long = "use of C99 long long integer constant; ";
    const std::string binary = "binary constants are a C2X feature or GCC extension; ";
    EXPECT_EQ(evaluate_from_macro(numbers, 0), "traditional C rejects the \"U\" suffix; " + binary + value +
                                                   "traditional C rejects the \"LL\" suffix; " + long_long);
    EXPECT_EQ(evaluate_from_macro(numbers, kInSystemMacro), binary + value + long_long);
    EXPECT_EQ(evaluate_from_macro(numbers, kInSystemMacro | kSpelledInSystemMacro), value);
    EXPECT_EQ(evaluate_from_macro("'ab'", kInSystemMacro | kSpelledInSystemMacro),
              "multi-character character constant; ");
  }
  {
    const ScopedLexingDialect c2x(*find_dialect("c2x", false));
    EXPECT_EQ(evaluate("0B1 + 0b0"), "1");
  }
  {
    const ScopedLexingDialect cxx11(*find_dialect("c++11", true));
    EXPECT_EQ(evaluate("0 && 0b1"), "0 / binary constants are a C++14 feature or GCC extension");
  }
  {
    const ScopedLexingDialect cxx14(*find_dialect("c++14", true));
    EXPECT_EQ(evaluate("0b1"), "1");
  }
  set_diagnostic_rules(saved);
}

// -Wall warns of a negative operand that the other operand's unsignedness
// converts, evaluated or not; == and != and the shifts convert none.
TEST(Condition, WarnsOfOperandsThatChangeSignUnderWall) {
  EXPECT_EQ(severities("-1 > 0U"), "");
  const DiagnosticRules saved = diagnostic_rules();
  DiagnosticRules wall;
  wall.warnings_on |= DiagnosticRules::bit(Warning::sign_change);
  set_diagnostic_rules(wall);
  EXPECT_EQ(evaluate("-1 > 0U"), "1 / the left operand of \">\" changes sign when promoted");
  EXPECT_EQ(evaluate("0 && 1U % -2"), "0 / the right operand of \"%\" changes sign when promoted");
  EXPECT_EQ(evaluate("1 ? 0U : -1"), "0 / the right operand of \":\" changes sign when promoted");
  EXPECT_EQ(severities("1U + -1 + -1 | 0 & -0"), "ww");
  EXPECT_EQ(severities("-1 == 0U || -1 << 1U || 0U >> -1 || 0U + 1 || -1 + 1 || (0U, -1) + 1"), "");
  set_diagnostic_rules(saved);
}

// -Wtraditional names the escapes that traditional C reads otherwise; C90
// warns of universal character names (C++ and C99 have them), whatever the
// rules.
TEST(Condition, WarnsOfEscapesThatOtherDialectsRead) {
  EXPECT_EQ(severities("'\\a' + '\\x1a' + L'\\u00a1' + '\\n' + '\\0'"), "");
  const DiagnosticRules saved = diagnostic_rules();
  DiagnosticRules traditional;
  traditional.warnings_on |= DiagnosticRules::bit(Warning::traditional);
  set_diagnostic_rules(traditional);
  EXPECT_EQ(evaluate("'\\a' + '\\x1a' + L'\\u00a1' + '\\n' + '\\0' + '\\\\' > 0"),
            "1 / the meaning of '\\a' is different in traditional C / the meaning of '\\x' is different in "
            "traditional C / the meaning of '\\u' is different in traditional C");
  {
    const ScopedLexingDialect c90(*find_dialect("c90", false));
    EXPECT_EQ(evaluate("L'\\U000000a1' > 0"), "1 / universal character names are only valid in C++ and C99");
  }
  set_diagnostic_rules(saved);
  const ScopedLexingDialect c90(*find_dialect("c90", false));
  EXPECT_EQ(severities("L'\\u00a1' + '\\a'"), "w");
  const ScopedLexingDialect cxx98(*find_dialect("c++98", true));
  EXPECT_EQ(severities("L'\\u00a1'"), "");
}

// Each expected result is what the C compiler decides for the same line.
TEST(Condition, EvaluatesAsTheCompiler) {
  const Case cases[] = {
      {"1 + 2 * 3 == 7", "1"},
      {"(1 + 2) * 3 == 9 && 10 / 3 == 3 && 10 % 3 == 1 && -7 / 2 == -3 && -7 % 2 == -1", "1"},
      {"1 << 3 == 8 && 256 >> 4 == 16 && (5 & 3) == 1 && (5 | 3) == 7 && (5 ^ 3) == 6", "1"},
      {"~0 == -1 && !0 == 1 && !5 == 0 && -(-3) == 3 && +4 == 4", "1"},
      {"1 < 2 && 2 > 1 && 2 <= 2 && 3 >= 4", "0"},
      {"1 ? 2 : 0", "1"},
      {"0 ? 1 : 0 ? 1 : 3", "1"},
      {"(1, 0)", "0"},
      {"-1 < 0u", "0"},
      {"0u - 1 > 0", "1"},
      {"(1 ? -1 : 0u) > 0", "1"},
      {"-1 >> 70 == -1 && 1 << -1 == 0", "1"},
      {"0xff == 255 && 0377 == 255 && 0b101 == 5 && 10LLu == 10 && 1uLL && 1lu", "1"},
      {"18446744073709551615 == -1", "1 / integer constant is so large that it is unsigned"},
      {"18446744073709551616", "0 / integer constant is too large for its type"},
      {"0xffffffffffffffff > 0", "1"},
      {"9223372036854775807 + 1", "1 / integer overflow in preprocessor expression"},
      {"'a' == 97 && '\\n' == 10 && '\\377' < 0 && '\\x41' == 65 && '\\e' == 27", "1"},
      {"'ab' == 24930", "1 / multi-character character constant"},
      {"'abcde' == 0x62636465", "1 / character constant too long for its type"},
      {"L'\\377' > 0 && L'\\xffffffff' < 0 && u'\\xffff' > 0 && U'a' - 98 > 0", "1"},
      {"L'\\xe9' == 233 && L'\xc3\xa9' == 233 && '\xc3\xa9' == 50089",
       "1 / multi-character character constant"},
      {"'\\q' == 'q'", "1 / unknown escape sequence: '\\q'"},
      {"defined D && defined(D) && !defined E && !defined(E)", "1"},
      {"UNDEFINED_NAME == 0 && true == 0", "1"},
      {"__has_include(<yes.h>) && __has_include(\"yes.h\") && !__has_include(<no.h>)", "1"},
      {"__has_attribute( gnu :: unused ) && !__has_attribute(other) && !__has_builtin(x)", "1"},
      {"__has_c_attribute(nodiscard) == 202003 && __has_c_attribute(nodiscard) > 202002", "1"},
      {"0 && 1 / 0", "0"},
      {"1 || 1 % 0", "1"},
      {"0 ? 1 / 0 : 2", "1"},
      {"1 / 0", "0 / error: division by zero in #if"},
      {"(2 || 1) + 1 % 0", "0 / error: division by zero in #if"},
  };
  for (const Case& c : cases) EXPECT_EQ(evaluate(c.expression), c.result) << c.expression;
}

TEST(Condition, ReportsTheCompilersErrors) {
  const Case cases[] = {
      {"", "0 / error: #if with no expression"},
      {"defined", "0 / error: operator \"defined\" requires an identifier"},
      {"defined(D", "0 / error: missing ')' after \"defined\""},
      {"(1", "0 / error: missing ')' in expression"},
      {"(", "0 / error: missing ')' in expression"},
      {"(1 +", "0 / error: operator '+' has no right operand"},
      {"1)", "0 / error: missing '(' in expression"},
      {")", "0 / error: missing '(' in expression"},
      {"1 2", "0 / error: missing binary operator before token \"2\""},
      {"1 (2)", "0 / error: missing binary operator before token \"(\""},
      {"1 ? 2", "0 / error: '?' without following ':'"},
      {"1 : 2", "0 / error: ':' without preceding '?'"},
      {"1 ? : 2", "0 / error: operator '?' has no right operand"},
      {"1.0", "0 / error: floating constant in preprocessor expression"},
      {"0x1p3", "0 / error: floating constant in preprocessor expression"},
      {"1x", "0 / error: invalid suffix \"x\" on integer constant"},
      {"0x", "0 / error: invalid suffix \"x\" on integer constant"},
      {"1lL", "0 / error: invalid suffix \"lL\" on integer constant"},
      {"1uu", "0 / error: invalid suffix \"uu\" on integer constant"},
      {"5i", "0 / error: imaginary number in preprocessor expression"},
      {"09", "0 / error: invalid digit \"9\" in octal constant"},
      {"0b12", "0 / error: invalid digit \"2\" in binary constant"},
      {"\"a\"", "0 / error: token \"\"a\"\" is not valid in preprocessor expressions"},
      {"1 = 1", "0 / error: token \"=\" is not valid in preprocessor expressions"},
      {"1 ++ 2", "0 / error: token \"++\" is not valid in preprocessor expressions"},
      // A token that no expression holds is named before a missing operand.
      {"1 + ]", "0 / error: token \"]\" is not valid in preprocessor expressions"},
      {"1 + \"s\"", "0 / error: token \"\"s\"\" is not valid in preprocessor expressions"},
      {"- @", "0 / error: token \"@\" is not valid in preprocessor expressions"},
      {"1 + )", "0 / error: operator '+' has no right operand"},
      {"()", "0 / error: missing expression between '(' and ')'"},
      {"1 +", "0 / error: operator '+' has no right operand"},
      {"~", "0 / error: operator '~' has no right operand"},
      {"* 2", "0 / error: operator '*' has no left operand"},
      {"''", "0 / error: empty character constant"},
      {"'a", "0 / error: token \"'a\" is not valid in preprocessor expressions"},
      {"__has_include",
       "0 / missing '(' before \"__has_include\" operand / operator \"__has_include\" requires a "
       "header-name"},
      {"__has_attribute", "0 / error: missing '(' after \"__has_attribute\""},
      {"__has_attribute()", "0 / error: macro \"__has_attribute\" requires an identifier"},
      {"__has_builtin(x", "0 / error: missing ')' after \"__has_builtin\""},
      {"__has_include(\"a.h\"", "0 / missing ')' after \"__has_include\" operand"},
  };
  for (const Case& c : cases) EXPECT_EQ(evaluate(c.expression), c.result) << c.expression;
}

// The operand of __has_include as the compiler reads it: a name as written,
// else one that macros make, taking the ')' and what follows from them too.
// Its own errors end nothing: the expression reads on after the operand.
TEST(Condition, ReadsAHeaderNameThatMacrosMake) {
  const std::string paren = " / missing ')' after \"__has_include\" operand";
  const struct {
    std::string_view expression;
    std::string result;
  } cases[] = {
      {"__has_include(<yes.h>) && __has_include(\"quoted.h\") && !__has_include(<quoted.h>)", "1"},
      {"__has_include(<M && 1", "1"},
      {"__has_include(<M && 0", "0"},
      {"__has_include(LT Y GT)", "1"},
      // A blank written before a token of the name is a blank in it.
      {"__has_include(LT yes.h GT)", "0"},
      {"__has_include(S R", "1"},
      {"__has_include \"yes.h\"", "1 / missing '(' before \"__has_include\" operand"},
      {"__has_include(<yes.h", "1 / missing terminating > character" + paren},
      {"__has_include(Y)", "0 / operator \"__has_include\" requires a header-name" + paren +
                               " / error: missing binary operator before token \"h\""},
      {"__has_include(S S)", "0" + paren + " / error: missing '(' in expression"},
      {"__has_include()", "0 / operator \"__has_include\" requires a header-name" + paren},
  };
  for (const auto& c : cases) EXPECT_EQ(evaluate(c.expression), c.result) << c.expression;
}

// Each diagnostic points where the compiler's does: at the token where the
// fault is found, at an operator that divides by zero, at the operand of
// one that overflows, at the `(` left open, or at the end.
TEST(Condition, PointsAtTheTokenOfTheFault) {
  const struct {
    std::string_view expression;
    std::uint32_t error_at;
  } cases[] = {
      {"1 2", 2},       {"1 + (2", 4}, {"1 + (", 4},        {"3 / 0", 2},
      {"09 + 1", 0},    {"1 + 09", 4}, {"1 +", kAtLineEnd}, {"1 ? 2", kAtLineEnd},
      {"", kAtLineEnd}, {"1 + ]", 4},  {"1 )", 2},
  };
  Lexer lexer;
  std::vector<Token> tokens;
  FakeContext context;
  for (const auto& c : cases) {
    lexer.lex(c.expression, tokens);
    const Condition condition = evaluate_condition(tokens, context);
    EXPECT_FALSE(condition.error.empty()) << c.expression;
    EXPECT_EQ(condition.error_at, c.error_at) << c.expression;
  }
  lexer.lex("1 + 'ab' + 0x7fffffffffffffff * 2 + -(-0x7fffffffffffffff - 1)", tokens);
  const Condition warned = evaluate_condition(tokens, context);
  ASSERT_EQ(warned.warnings.size(), 3u);
  EXPECT_EQ(warned.warnings[0].at, 4u);
  EXPECT_EQ(warned.warnings[1].at, 32u);
  EXPECT_EQ(warned.warnings[2].at, 37u);
}

// C++ reads its names of operators, and true and false, as g++ does; C reads
// them as identifiers, which are 0 (see above).
TEST(Condition, CxxAlternativeTokensAndTruthValues) {
  const ScopedLexingDialect cxx(*find_dialect("c++98", true));
  const Case cases[] = {
      {"true && !false && true == 1 && false == 0", "1"},
      {"1 and 0", "0"},
      {"0 or 1", "1"},
      {"not 0 bitand compl 0", "1"},
      {"(6 bitor 1) == 7 and (6 xor 3) == 5 and 1 not_eq 2", "1"},
      {"true ? 2 : 0", "1"},
      {"andy or_else", "0 / error: missing binary operator before token \"or_else\""},
      {"and 1", "0 / error: operator 'and' has no left operand"},
      {"1 bitor", "0 / error: operator 'bitor' has no right operand"},
      {"not", "0 / error: operator 'not' has no right operand"},
      {"1 and_eq 1", "0 / error: token \"and_eq\" is not valid in preprocessor expressions"},
  };
  for (const Case& c : cases) EXPECT_EQ(evaluate(c.expression), c.result) << c.expression;
}

// From C++14 a `'` between two digits separates them; before C++14 it ends
// the number, and what follows is a suffix.
TEST(Condition, DigitSeparatorsAsGxxReadsThem) {
  const ScopedLexingDialect cxx14(*find_dialect("c++14", true));
  const Case cases[] = {
      {"1'0 == 10 && 1'000'000 == 1000000", "1"},
      {"0x1'0 == 16 && 0'17 == 15 && 0b1'1 == 3 && 1'0u == 10u", "1"},
      {"0'8", "0 / error: invalid digit \"8\" in octal constant"},
      {"0x'1", "0 / error: digit separator after base indicator"},
      {"0b'1", "0 / error: digit separator after base indicator"},
      {"1'u", "0 / error: digit separator outside digit sequence"},
      {"0'x1", "0 / error: digit separator outside digit sequence"},
      {"1'0.5", "0 / error: floating constant in preprocessor expression"},
  };
  for (const Case& c : cases) EXPECT_EQ(evaluate(c.expression), c.result) << c.expression;
  const ScopedLexingDialect cxx11(*find_dialect("c++11", true));
  EXPECT_EQ(evaluate("1'0'"), "0 / error: missing binary operator before token \"'0'\"");
}

TEST(Condition, DeepNestingIsAnErrorNotACrash) {
  for (std::string_view unit : {"(", "- ", "1 ? "}) {
    std::string expression;
    for (int i = 0; i < 100000; ++i) expression += unit;
    EXPECT_EQ(evaluate(expression), "0 / error: #if expression nested too deeply") << unit;
  }
}

}  // namespace
}  // namespace sornik::cmode
