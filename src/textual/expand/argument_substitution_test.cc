// Tests of the substitution of a call's arguments for its parameters.
#include "textual/expand/argument_substitution.h"

#include <gtest/gtest.h>
#include <vector>

#include "captured_io.h"
#include "lead_byte_edges.h"
#include "textual/replace/replace_engine.h"

namespace sornik {
namespace {

std::vector<std::string> words_of(std::string_view text) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (true) {
    std::string_view word;
    pos = get_csvword(text, pos, word);
    if (word.empty()) break;
    words.emplace_back(word);
  }
  return words;
}

using Words = std::vector<std::string>;

TEST(GetCsvword, BlanksAreTrimmedAndTheEndRepeats) {
  EXPECT_EQ(words_of("  a b ,\n\tc\f"), (Words{"a b", "c"}));
  EXPECT_EQ(words_of(" \r a\v "), (Words{"\r a\v"}));
  std::string_view word = "x";
  EXPECT_EQ(get_csvword("a,", 2, word), 2u);
  EXPECT_EQ(word, "");
  EXPECT_EQ(get_csvword("a,", 2, word), 2u);
}

TEST(GetCsvword, CommasInsideParenthesesAndLiteralsDoNotSeparate) {
  EXPECT_EQ(words_of("f(1,2), c"), (Words{"f(1,2)", "c"}));
  EXPECT_EQ(words_of("g((a,b),(c)),d"), (Words{"g((a,b),(c))", "d"}));
  EXPECT_EQ(words_of("\"x, y\", ',', z"), (Words{"\"x, y\"", "','", "z"}));
  EXPECT_EQ(words_of("\"a\\\",b\", c"), (Words{"\"a\\\",b\"", "c"}));
  // A two-byte character is one unit inside a literal, two plain bytes outside.
  EXPECT_EQ(words_of("\"\x81\",\", x"), (Words{"\"\x81\",\"", "x"}));
  EXPECT_EQ(words_of("\x81,x"), (Words{"\x81", "x"}));
  // Only parentheses nest, and an unbalanced ")" is plain text.
  EXPECT_EQ(words_of("x[1,2]"), (Words{"x[1", "2]"}));
  EXPECT_EQ(words_of("a), b"), (Words{"a)", "b"}));
  EXPECT_EQ(words_of("\"open, still"), (Words{"\"open, still"}));
}

TEST(GetCsvword, LeadByteRangeEdges) {
  for (const testing::EdgeByte& edge : testing::kLeadByteEdges) {
    // Inside a literal a quote after a lead byte does not close it.
    const std::string text = "'" + edge.text() + "',x";
    EXPECT_EQ(words_of(text), edge.lead ? Words{text} : (Words{"'" + edge.text() + "'", "x"})) << edge;
  }
}

TEST(GetCsvword, LongWordsAreCutAfter1024Bytes) {
  EXPECT_EQ(words_of(std::string(1030, 'a')), (Words{std::string(1024, 'a'), std::string(6, 'a')}));
  EXPECT_EQ(words_of(std::string(1024, 'a') + ",b"), (Words{std::string(1024, 'a'), "b"}));
}

class ConvertStr : public ::testing::Test {
 protected:
  std::string convert(std::string_view params, std::string_view args, std::string_view body) {
    const std::optional<std::string_view> result = substitution.convert_str(1, params, args, body);
    return result ? std::string(*result) : "<null>";
  }

  ArgumentSubstitution substitution;
  testing::CapturedIo io;
};

TEST_F(ConvertStr, WorkedResults) {
  EXPECT_EQ(convert("a,b", "x, y+1", "((a)>(b)?(a):(b))"), "((x)>(y+1)?(x):(y+1))");
  EXPECT_EQ(convert("x", "3", "((x)*(x))"), "((3)*(3))");
  EXPECT_EQ(convert("a , b", " p ,q ", "a-b"), "p-q");
  EXPECT_EQ(convert("a,b", "1,2", "ab+a_b+a+b"), "ab+a_b+1+2");
  EXPECT_EQ(convert("a,b", "b, a", "((a)>(b)?(a):(b))"), "((a)>(a)?(a):(a))");
  EXPECT_EQ(convert("fmt, ...", "f, a", "p(fmt, ...)"), "p(f, a)");
  EXPECT_EQ(convert("a,b", "x", "a"), "<null>");
  EXPECT_EQ(io.err(), "");
  EXPECT_EQ(convert("", "", "body"), "<null>");
  EXPECT_EQ(io.err(), ": bad <replace>\n");
}

TEST_F(ConvertStr, ArgumentsAreInsertedAsWritten) {
  EXPECT_EQ(convert("a", "c ? d : e", "[a]"), "[c ? d : e]");
  EXPECT_EQ(convert("s", "\"$$\"", "puts(s)"), "puts(\"$$\")");
  EXPECT_EQ(convert("n", "$u", "n"), "$u");
  EXPECT_EQ(convert("a,b", "f(1,2), c", "a+b"), "f(1,2)+c");
  EXPECT_EQ(convert("s", "\"x\\n\" + '\\\\'", "<s>"), "<\"x\\n\" + '\\\\'>");
  EXPECT_EQ(convert("s", "$q \\$ a:b", "s"), "$q \\$ a:b");
  // A lead byte that ends an argument does not join the comma after it, and
  // the second byte of a two-byte character is never escaped.
  EXPECT_EQ(convert("a,b", "x\x82,y", "[a] b"), "[x\x82] y");
  EXPECT_EQ(convert("a", "\x95\\", "[a]"), "[\x95\\]");
  EXPECT_EQ(io.err(), "");
}

TEST_F(ConvertStr, WholeWordsOnly) {
  EXPECT_EQ(convert("a", "1", "ab a a_ a1 (a) \"a\" b.a"), "ab 1 a_ a1 (1) \"1\" b.1");
  EXPECT_EQ(convert("a", "1",
                    "\x82\xa0"
                    "a a\x82\xa0 a"),
            "\x82\xa0"
            "a a\x82\xa0 1");
  EXPECT_EQ(convert("a", "1", "x+y"), "x+y");
  EXPECT_EQ(convert("a", "1", ""), "");
}

TEST_F(ConvertStr, PairingEndsAtTheFirstEmptyWord) {
  EXPECT_EQ(convert("x,,z", "1,,3", "x+z"), "1+z");
  EXPECT_EQ(convert("x,y,z", "a,,b", "x"), "<null>");
  EXPECT_EQ(convert("fmt, ...", "f, a, b", "p(fmt, ...)"), "<null>");
  EXPECT_EQ(convert("a,b", "\n  x\n+ 1\n,\ny\n", "a;b"), "x\n+ 1;y");
}

TEST_F(ConvertStr, DigitNamesSelectFields) {
  EXPECT_EQ(convert("1", "x", "1+1"), "1+1");
  EXPECT_EQ(convert("2", "x", "2+2"), "2+2");
  EXPECT_EQ(io.err(), "");
  EXPECT_EQ(convert("0", "x", "0"), "<null>");
  EXPECT_EQ(io.err(), "(0): bad \"<replace>\" parameter\n");
}

TEST_F(ConvertStr, TemplateLimitCountsArgumentsAsWritten) {
  // Four pairs cost 20 bytes besides their arguments; 4095 bytes in all still fit.
  const std::string longest(1019, '$');
  const std::string last(1018, ':');
  const std::string args = longest + "," + longest + "," + longest + ",";
  EXPECT_EQ(convert("a,b,c,d", args + last, "d"), last);
  EXPECT_EQ(convert("a,b,c,d", args + last + ":", "d"), "<null>");
  EXPECT_EQ(io.err(), "");
}

}  // namespace
}  // namespace sornik
