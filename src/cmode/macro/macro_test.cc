// Tests of making and copying macros, the macro store, and the tokens of replacement lists.
#include "cmode/macro/macro.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "cmode/pp/define_directive.h"

namespace sornik::cmode {
namespace {

MacroPtr parsed(std::string_view text) {
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex(text, tokens);
  return parse_define(tokens).macro;
}

std::string listing(const Macro& macro) {
  std::string out;
  append_define_line(out, macro);
  return out;
}

TEST(Macro, HoldsItsPartsAndCopiesThemWhole) {
  MacroPtr macro = parsed("F(a, b, rest...) a ## b # rest + \"s\"");
  EXPECT_EQ(macro->name(), "F");
  ASSERT_EQ(macro->param_count(), 3u);
  EXPECT_EQ(macro->param(0), "a");
  EXPECT_EQ(macro->param(2), "rest");
  EXPECT_EQ(macro->param_index("b"), 1);
  EXPECT_EQ(macro->param_index("c"), -1);
  EXPECT_TRUE(macro->variadic());
  std::vector<std::string> texts;
  for (const BodyToken& token : macro->body()) texts.emplace_back(macro->text(token));
  EXPECT_EQ(texts, (std::vector<std::string>{"a", "##", "b", "#", "rest", "+", "\"s\""}));
  MacroPtr copy = Macro::copy(*macro);
  macro.reset();
  EXPECT_EQ(listing(*copy), "#define F(a,b,rest...) a ## b #rest + \"s\"");
  EXPECT_EQ(copy->text(copy->body()[6]), "\"s\"");
}

// The body's tokens as "[text]k", k the first letter of the kind's name,
// with a blank before a token that has one.
std::string tokens_of(const Macro& macro) {
  std::string out;
  for (const BodyToken& token : macro.body()) {
    if (token.space_before) out += ' ';
    out += '[';
    out += macro.text(token);
    out += ']';
    out += "incspo"[static_cast<int>(token.kind)];
  }
  return out;
}

TEST(Macro, MakesTheTokensOfItsDefinitionWhenFirstAsked) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view definition;
    std::string_view tokens;
  } cases[] = {
      {"P(a, b) a%:%:b a ## b a##b", "[a]i [##]p[b]i [a]i [##]p [b]i [a]i [##]p[b]i"},
      {"S(x) %:x # x a%:x %:%:%:x", "[#]p[x]i [#]p[x]i [a]i[#]p[x]i [##]p[#]p[x]i"},
      {"O %: %:%: # <%a%> <:b:>", "[%:]p [##]p [#]p [<%]p[a]i[%>]p [<:]p[b]i[:>]p"},
      {"C a/* one */b// two", "[a]i [b]i"},
      {"L 1\\\n+\\\n2 \\\n x", "[1]n[+]p[2]n [x]i"},
      {"W \t a\f\vb\r\0c  "sv, "[a]i [b]i [c]i"},
      {"Q \"s\"L'w'u8\"t\" 'c'x.5e+1.. .....",
       "[\"s\"]s[L'w']c[u8\"t\"]s ['c']c[x]i[.5e+1..]n [...]p[.]p[.]p"},
      {"V(...) __VA_OPT__(a ## __VA_ARGS__)", "[__VA_OPT__]i[(]p[a]i [##]p [__VA_ARGS__]i[)]p"},
      {"U \xff @ \xe3\x81\x82z 'open  ", "[\xff]o [@]o [\xe3\x81\x82z]i ['open  ]o"},
      {"E /* nothing */", ""},
  };
  for (const auto& c : cases) {
    const MacroPtr macro = parsed(c.definition);
    ASSERT_NE(macro, nullptr) << c.definition;
    EXPECT_EQ(tokens_of(*macro), c.tokens) << c.definition;
    EXPECT_EQ(tokens_of(*Macro::copy(*macro)), c.tokens) << c.definition;
  }
}

TEST(Macro, FreedBlocksServeLaterMacrosWithoutTouchingLiveOnes) {
  // Bodies of many sizes, so that blocks of many size classes are freed and
  // taken again.
  const auto text_of = [](int i, int round) {
    return "M" + std::to_string(i) + " " + std::string(static_cast<std::size_t>(1 + i % 300), 'x') +
           std::to_string(round);
  };
  std::vector<MacroPtr> macros;
  for (int i = 0; i < 2000; ++i) macros.push_back(parsed(text_of(i, 0)));
  for (int i = 0; i < 2000; i += 2) macros[static_cast<std::size_t>(i)].reset();
  for (int i = 0; i < 2000; i += 2) macros[static_cast<std::size_t>(i)] = parsed(text_of(i, 1));
  for (int i = 0; i < 2000; ++i) {
    EXPECT_EQ(listing(*macros[static_cast<std::size_t>(i)]), "#define " + text_of(i, i % 2 == 0 ? 1 : 0));
  }
}

TEST(Macro, KeepsTheOffsetKindAndBlankOfEveryTokenOfALongReplacement) {
  // Over 128 KiB of tokens of every kind, ending in an unclosed literal:
  // offsets past 16 and 17 bits and each kind must survive the packed token.
  std::string body;
  while (body.size() < (std::size_t{1} << 17) + 100) body += "x0 +='c'\"s\" 1.5e+3 @ L'w' ";
  body += "'open";
  const MacroPtr macro = parsed("BIG " + body);
  ASSERT_NE(macro, nullptr);
  Lexer lexer;
  std::vector<Token> expected;
  lexer.lex(macro->replacement(), expected);
  ASSERT_EQ(macro->body().size(), expected.size());
  EXPECT_EQ(expected.back().kind, TokenKind::other);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const BodyToken& token = macro->body()[i];
    ASSERT_EQ(macro->text(token), expected[i].text) << i;
    ASSERT_EQ(token.kind, expected[i].kind) << i;
    ASSERT_EQ(token.space_before, expected[i].space_before) << i;
  }
}

}  // namespace
}  // namespace sornik::cmode
