// Tests of the lexer and its tokens: kinds, splices anywhere, physical offsets, punctuators.
#include "cmode/lex/token.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "cmode/lex/dialect.h"
#include "cmode/lex/logical_lines.h"

namespace sornik::cmode {
namespace {

using namespace std::string_view_literals;

// Renders tokens as "kind:text" separated by "|", a "_" before a token that
// has white space before it.
std::string lex_to_string(std::string_view text, bool keep_comments = false) {
  static const char* const kKinds[] = {"id", "num", "chr", "str", "p", "other", "comment"};
  Lexer lexer;
  lexer.keep_comments(keep_comments);
  std::vector<Token> tokens;
  lexer.lex(text, tokens);
  std::string out;
  for (const Token& token : tokens) {
    if (!out.empty()) out += '|';
    if (token.space_before) out += '_';
    out += kKinds[static_cast<int>(token.kind)];
    out += ':';
    out += token.text;
  }
  return out;
}

struct LexCase {
  std::string_view text;
  std::string_view tokens;
};

TEST(Lexer, SplitsPreprocessingTokens) {
  const LexCase cases[] = {
      {"a_1 $b", "id:a_1|_id:$b"},
      {"x+=1;", "id:x|p:+=|num:1|p:;"},
      {"0x1p-3 1e+5x .5e-f 1.2.3 7.. 1+2",
       "num:0x1p-3|_num:1e+5x|_num:.5e-f|_num:1.2.3|_num:7..|_num:1|p:+|num:2"},
      {"a->b ++c-- ...  .. .", "id:a|p:->|id:b|_p:++|id:c|p:--|_p:...|_p:.|p:.|_p:."},
      {"<<= >>= << >= <= == != && || ## #",
       "p:<<=|_p:>>=|_p:<<|_p:>=|_p:<=|_p:==|_p:!=|_p:&&|_p:|||_p:##|_p:#"},
      {"<: :> <% %> %: %:%: %:%", "p:<:|_p::>|_p:<%|_p:%>|_p:%:|_p:%:%:|_p:%:|p:%"},
      {"L'a' u'b' U'c' u8\"d\" L\"e\" u8'f'",
       "chr:L'a'|_chr:u'b'|_chr:U'c'|_str:u8\"d\"|_str:L\"e\"|_id:u8|chr:'f'"},
      {"'\\'' \"a\\\"b\" '\\\\'", "chr:'\\''|_str:\"a\\\"b\"|_chr:'\\\\'"},
      {"x/* c */y//z\nw", "id:x|_id:y|_id:w"},
      {"a/*\n*/b /**/", "id:a|_id:b"},
      {"a/ *b", "id:a|p:/|_p:*|id:b"},
      {"\"abc\nd", "other:\"abc|_id:d"},
      {"'ab\r\nd", "other:'ab|_id:d"},
      {"@ ` \\", "other:@|_other:`|_other:\\"},
      {"h\xc3\xa9llo \xe3\x81\x82", "id:h\xc3\xa9llo|_id:\xe3\x81\x82"},
      {"a\xff"
       "b \xc3",
       "id:a|other:\xff|id:b|_other:\xc3"},
      {"1\xc3\xa9", "num:1\xc3\xa9"},
      {"a\0b"sv, "id:a|_id:b"},
      {"", ""},
      {" \t\r\n", ""},
  };
  for (const LexCase& c : cases) EXPECT_EQ(lex_to_string(c.text), c.tokens) << c.text;
}

// The tokens that C++ adds, and those it reads longer, by dialect.
TEST(Lexer, ReadsTheTokensOfEachDialect) {
  const char* const text =
      "a::b .* ->* <=> <::b <::> <::: 1'2'a 1'.5' 0x1'f\\\n'0 \"a\"_s 'c'_x \"b\"__y \"c\"s";
  const ScopedLexingDialect cxx20(*find_dialect("c++20", true));
  EXPECT_EQ(
      lex_to_string(text),
      "id:a|p:::|id:b|_p:.*|_p:->*|_p:<=>|_p:<|p:::|id:b|_p:<:|p::>|_p:<:|p:::|_num:1'2'a|_num:1|chr:'.5'|"
      "_num:0x1'f'0|_str:\"a\"_s|_chr:'c'_x|_str:\"b\"|id:__y|_str:\"c\"|id:s");
  {
    const ScopedLexingDialect cxx11(*find_dialect("c++11", true));
    EXPECT_EQ(lex_to_string("1'2 <=> \"a\"_s"), "num:1|other:'2 <=> \"a\"_s");
  }
  // u8'c' is one character constant from C++17 and in C2X, two tokens before.
  EXPECT_EQ(lex_to_string("u8'a' u8\\\n'b' u8\"c\""), "chr:u8'a'|_chr:u8'b'|_str:u8\"c\"");
  {
    const ScopedLexingDialect cxx14(*find_dialect("c++14", true));
    EXPECT_EQ(lex_to_string("u8'a' u8\"c\""), "id:u8|chr:'a'|_str:u8\"c\"");
  }
  {
    const ScopedLexingDialect cxx98(*find_dialect("c++98", true));
    EXPECT_EQ(lex_to_string("a::b \"a\"_s R\"(x)\""), "id:a|p:::|id:b|_str:\"a\"|id:_s|_id:R|str:\"(x)\"");
  }
  {
    const ScopedLexingDialect c2x(*find_dialect("c2x", false));
    EXPECT_EQ(lex_to_string("a::b 1'2 .* \"a\"_s u8'c'"),
              "id:a|p:::|id:b|_num:1'2|_p:.|p:*|_str:\"a\"|id:_s|_chr:u8'c'");
  }
  {
    const ScopedLexingDialect c94(*find_dialect("iso9899:199409", false));
    EXPECT_EQ(lex_to_string("<::><%%>%:%:"), "p:<:|p::>|p:<%|p:%>|p:%:%:");
  }
  {
    // ISO C90 has no digraphs, whose characters are punctuators of their own.
    const ScopedLexingDialect c90(*find_dialect("c90", false));
    EXPECT_EQ(lex_to_string("<::><%%>%:%: %= <<"),
              "p:<|p::|p::|p:>|p:<|p:%|p:%|p:>|p:%|p::|p:%|p::|_p:%=|_p:<<");
  }
  const ScopedLexingDialect c17(*find_dialect("c17", false));
  EXPECT_EQ(lex_to_string("a::b ->* <=>"), "id:a|p::|p::|id:b|_p:->|p:*|_p:<=|p:>");
}

// ISO C90 has no `//` comments: gcc reads one in a code line of a group
// taken, unless a `*` follows it; in a directive or a group not taken (the
// preprocessor sets slashes_divide) it is two divisions.
TEST(Lexer, ReadsSlashesAsIsoC90Does) {
  const ScopedLexingDialect c90(*find_dialect("c90", false));
  EXPECT_EQ(lex_to_string("1 //**/ 2\n"), "num:1|_p:/|_num:2");
  EXPECT_EQ(lex_to_string("1 ///**/ 2\n3"), "num:1|_num:3");
  EXPECT_EQ(lex_to_string("a // b */\n"), "id:a");
  EXPECT_EQ(lex_to_string("a /\\\n/\\\n* b */ c"), "id:a|_p:/|_id:c");
  slashes_divide = true;
  EXPECT_EQ(lex_to_string("# x // y /* z */\n"), "p:#|_id:x|_p:/|p:/|_id:y");
  slashes_divide = false;
  const ScopedLexingDialect c99(*find_dialect("c99", false));
  EXPECT_EQ(lex_to_string("1 //**/ 2\n"), "num:1");
}

// Raw strings, with every prefix, where the dialect reads them; their bytes
// are taken as they stand, splices and quotes included.
// A kept comment is a token with the blanks before it its own; a line
// comment is spelled as a block comment, any `*/` it makes broken as `*|`,
// splices gone. A lexer not told to keep them reads them as white space.
TEST(Lexer, KeepsCommentsAsTokensWhenTold) {
  const LexCase cases[] = {
      {"a/**/b /* c */ d\n", "id:a|comment:/**/|id:b|_comment:/* c */|_id:d"},
      {"x // y */ z\n", "id:x|_comment:/* y *| z*/"},
      {"///\n", "comment:/*|*/"},
      {"//*/\n", "comment:/**|*/"},
      {"// a \\\n b\n", "comment:/* a  b*/"},
      {"/\\\n* s */ a", "comment:/* s */|_id:a"},
      {"/* open", "comment:/* open"},
      {"a /* open\n", "id:a|_comment:/* open"},
      {"a / / b", "id:a|_p:/|_p:/|_id:b"},
  };
  for (const LexCase& c : cases) EXPECT_EQ(lex_to_string(c.text, true), c.tokens) << c.text;
  EXPECT_EQ(lex_to_string("a/**/b // c\n"), "id:a|_id:b");
}

TEST(Lexer, ReadsRawStrings) {
  const ScopedLexingDialect gnu17(*find_dialect("", false));
  EXPECT_EQ(lex_to_string("R\"(a\" /* b)\" LR\"x(\")\")x\" uR\"(\\\n)\" UR\"()\" u8R\"()\""),
            "str:R\"(a\" /* b)\"|_str:LR\"x(\")\")x\"|_str:uR\"(\\\n)\"|_str:UR\"()\"|_str:u8R\"()\"");
  EXPECT_EQ(lex_to_string("xR\"(a)\" R \"\""), "id:xR|str:\"(a)\"|_id:R|_str:\"\"");
  // A raw string without a valid delimiter is one token up to the next quote.
  EXPECT_EQ(lex_to_string("R\" (a)\" b u8R\"a\\(\n)\" c"),
            "other:R\" (a)\"|_id:b|_other:u8R\"a\\(\n)\"|_id:c");
  EXPECT_EQ(lex_to_string("R\"(open\nx"), "other:R\"(open\nx");
  const ScopedLexingDialect c11(*find_dialect("c11", false));
  EXPECT_EQ(lex_to_string("R\"(a)\" u8R\"(b)\""), "id:R|str:\"(a)\"|_id:u8R|str:\"(b)\"");
}

// Universal character names belong to identifiers and numbers whatever
// character they name (the compiler reports the invalid ones); a UTF-8
// character does where C11 allows it in an identifier, and is a token of
// its own elsewhere. Each text is read as it is and as a line.
TEST(Lexer, ReadsCharactersBeyondAsciiAsTheCompilerDoes) {
  const LexCase cases[] = {
      {"\\u00e9t\\u00E9 a\\U000000c0b", "id:\\u00e9t\\u00E9|_id:a\\U000000c0b"},
      {"\\u0041 \\ud800 \\U00110000 \\u0301x", "id:\\u0041|_id:\\ud800|_id:\\U00110000|_id:\\u0301x"},
      {"\\u00e x\\u00eg \\U0001F60", "other:\\|id:u00e|_id:x|other:\\|id:u00eg|_other:\\|id:U0001F60"},
      {"0\\u00c0.p 1\\u00d7 1\\u00e", "num:0\\u00c0.p|_num:1\\u00d7|_num:1|other:\\|id:u00e"},
      {"x\xc3\x97y \xc3\x97 1\xc3\x97", "id:x|other:\xc3\x97|id:y|_other:\xc3\x97|_num:1|other:\xc3\x97"},
      {"\xc2\xa8\xc2\xa9 \xe3\x80\x80\xe3\x80\x84",
       "id:\xc2\xa8|other:\xc2\xa9|_other:\xe3\x80\x80|id:\xe3\x80\x84"},
      {"\xcc\x81x \xf0\x9f\x98\x80x x\xe0\x80\x80",
       "id:\xcc\x81x|_id:\xf0\x9f\x98\x80x|_id:x|other:\xe0\x80\x80"},
      {"\\u00\\\n\\\ne9x \\\\u00e9", "id:\\u00e9x|_other:\\|id:\\u00e9"},
  };
  for (const LexCase& c : cases) {
    EXPECT_EQ(lex_to_string(c.text), c.tokens) << c.text;
    EXPECT_EQ(lex_to_string(std::string(c.text) + "\n"), c.tokens) << c.text;
  }
}

// C++ reads every character that UTF-8 encodes, in up to six bytes, into
// an identifier or a number, as the compiler does (it reports those its
// table does not allow); a sequence longer than it needs, a surrogate or a
// byte that begins none stays apart.
TEST(Lexer, ReadsEveryUtf8CharacterIntoCxxIdentifiers) {
  const ScopedLexingDialect cxx17(*find_dialect("c++17", true));
  const LexCase cases[] = {
      {"x\xc3\x97y \xc3\x97 1\xc3\x97", "id:x\xc3\x97y|_id:\xc3\x97|_num:1\xc3\x97"},
      {"\xc2\x80 \xdf\xbf \xe0\xa0\x80 \xf0\x90\x80\x80 \xf4\x90\x80\x80",
       "id:\xc2\x80|_id:\xdf\xbf|_id:\xe0\xa0\x80|_id:\xf0\x90\x80\x80|_id:\xf4\x90\x80\x80"},
      {"x\xf8\x88\x80\x80\x80y \xfc\x84\x80\x80\x80\x80",
       "id:x\xf8\x88\x80\x80\x80y|_id:\xfc\x84\x80\x80\x80\x80"},
      {"x\xe0\x9f\xbf x\xf0\x8f\xbf\xbf x\xf8\x87\xbf\xbf\xbf",
       "id:x|other:\xe0\x9f\xbf|_id:x|other:\xf0\x8f\xbf\xbf|_id:x|other:\xf8\x87\xbf\xbf\xbf"},
      {"x\xed\x9f\xbf x\xed\xa0\x80 x\xed\xbf\xbf x\xee\x80\x80",
       "id:x\xed\x9f\xbf|_id:x|other:\xed\xa0\x80|_id:x|other:\xed\xbf\xbf|_id:x\xee\x80\x80"},
      {"x\xc1\xbf x\xfe x\x80", "id:x|other:\xc1|other:\xbf|_id:x|other:\xfe|_id:x|other:\x80"},
  };
  for (const LexCase& c : cases) EXPECT_EQ(lex_to_string(c.text), c.tokens) << c.text;
  const ScopedLexingDialect c17(*find_dialect("c17", false));
  EXPECT_EQ(lex_to_string("x\xc3\x97y"), "id:x|other:\xc3\x97|id:y");
}

// C lexes a UTF-8 character by the table its dialect checks: C99's own
// under -pedantic in C99, where U+01F5 is the last of a range.
TEST(Lexer, ReadsUtf8InCByTheDialectsTable) {
  const ScopedLexingDialect c99(*find_dialect("c99", false));
  EXPECT_EQ(lex_to_string("A\xc7\xb5 A\xc7\xb6"), "id:A\xc7\xb5|_id:A\xc7\xb6");
  DiagnosticRules rules;
  rules.pedantic = true;
  set_diagnostic_rules(rules);
  EXPECT_EQ(lex_to_string("A\xc7\xb5 A\xc7\xb6"), "id:A\xc7\xb5|_id:A|other:\xc7\xb6");
  set_diagnostic_rules({});
}

// C90 and C94 have no characters beyond ASCII in identifiers: a universal
// character name's backslash and a UTF-8 character are tokens of their own.
TEST(Lexer, ReadsNoCharactersBeyondAsciiInC90) {
  for (const char* name : {"c90", "gnu89", "iso9899:199409"}) {
    const ScopedLexingDialect c90(*find_dialect(name, false));
    EXPECT_EQ(lex_to_string("a\\u00aa \\u00aa x\xc3\xa9y \xc3\xa9 1\\u00aa 1\xc3\xa9\n"),
              "id:a|other:\\|id:u00aa|_other:\\|id:u00aa|_id:x|other:\xc3\xa9|id:y|_other:\xc3\xa9|_num:1|"
              "other:\\|id:u00aa|_num:1|other:\xc3\xa9")
        << name;
  }
  const ScopedLexingDialect c99(*find_dialect("c99", false));
  EXPECT_EQ(lex_to_string("a\\u00aa x\xc3\xa9y 1\\u00aa"), "id:a\\u00aa|_id:x\xc3\xa9y|_num:1\\u00aa");
}

TEST(Lexer, SplicesStandAnywhere) {
  const LexCase cases[] = {
      {"ab\\\ncd", "id:abcd"},
      {"ab\\\r\ncd", "id:abcd"},
      {"a +\\\n= b", "id:a|_p:+=|_id:b"},
      {"\"x\\\\\ny\"", "str:\"x\\y\""},
      {"\"x\\\\\\\ny\"", "str:\"x\\\\y\""},
      {"\"x\\\\\r\n\"y\"", "str:\"x\\\"y\""},
      {"'a\\\\\n\r\nb", "other:'a\\|_id:b"},
      {"a //c\\\nd\ne", "id:a|_id:e"},
      {"a /*c*\\\n/ b", "id:a|_id:b"},
      {"%\\\n:%\\\n: <\\\n<\\\n=", "p:%:%:|_p:<<="},
      {"L\\\n'a' u\\\n8\"s\"", "chr:L'a'|_str:u8\"s\""},
      {"x\\\n \\\ny", "id:x|_id:y"},
      {"x \\y", "id:x|_other:\\|id:y"},
      {"end\\", "id:end|other:\\"},
      // Tokens with and without splices one after another.
      {"ab\\\n cd ef\\\ngh ij", "id:ab|_id:cd|_id:efgh|_id:ij"},
      {"\\\nab \\\n\\\ncd\\\n", "id:ab|_id:cd"},
      {"x \\y a\\\nb", "id:x|_other:\\|id:y|_id:ab"},
      {"a\\\r\n\\\nb c", "id:ab|_id:c"},
  };
  for (const LexCase& c : cases) EXPECT_EQ(lex_to_string(c.text), c.tokens) << c.text;
}

// A text that ends with a newline is read with that newline as the only
// stop: each token that reaches the end of a line must end there, as it
// ends at the end of a text without the newline. The text lies in a block
// of its exact size, so that a read past it is seen by the sanitizer.
TEST(Lexer, ALineEndingInANewlineLexesAsTheTextWithout) {
  const std::string_view texts[] = {
      "a",  "ab1",   "12", "1e",       "1e+", "0x1p",      ".",           "..",    "...", ".5",   "u",
      "u8", "L",     "U",  "'a",       "\"a", "L\"",       "u8\"",        "<<",    "%:%", "%:",   "-",
      "/",  "//x",   "/*", "a /* b *", "/**", "a\xe3\x81", "\xc3",        "x\xf4", "\r",  "a \r", "#",
      "##", "a  \t", "@",  "a/ ",      "'a'", "\"\\\"",    "x /**/ y ..", "<:",    ":",
  };
  for (const std::string_view text : texts) {
    const std::unique_ptr<char[]> line(new char[text.size() + 1]);
    std::memcpy(line.get(), text.data(), text.size());
    line[text.size()] = '\n';
    EXPECT_EQ(lex_to_string({line.get(), text.size() + 1}), lex_to_string(text)) << text;
  }
}

TEST(Lexer, KeepsPhysicalOffsets) {
  Lexer lexer;
  std::vector<Token> tokens;
  const std::string_view text = " ab\\\ncd /**/ +";
  lexer.lex(text, tokens);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(text.substr(tokens[0].begin, tokens[0].end - tokens[0].begin), "ab\\\ncd");
  EXPECT_EQ(tokens[1].begin, 13u);
  EXPECT_EQ(tokens[1].end, 14u);
}

TEST(Token, IsAPunctuatorAsSpelled) {
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex("( <: \"(\" x <<=", tokens);
  ASSERT_EQ(tokens.size(), 5U);
  EXPECT_TRUE(tokens[0].is("("));
  EXPECT_FALSE(tokens[0].is(")"));
  EXPECT_TRUE(tokens[1].is("<:"));
  EXPECT_FALSE(tokens[1].is("["));
  EXPECT_FALSE(tokens[2].is("\"(\""));
  EXPECT_FALSE(tokens[3].is("x"));
  EXPECT_FALSE(tokens[4].is("<<"));
  EXPECT_TRUE(tokens[4].is("<<="));
}

TEST(Lexer, SplicedSpellingsSurviveManyTokens) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "long_identifier_\\\nnumber_" + std::to_string(i) + " ";
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex(text, tokens);
  ASSERT_EQ(tokens.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(tokens[i].text, "long_identifier_number_" + std::to_string(i));
}

}  // namespace
}  // namespace sornik::cmode
