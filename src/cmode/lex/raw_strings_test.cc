// Tests of raw string literals: their delimiters at both sides of each limit, their ends, and the compiler's
// errors.
#include "cmode/lex/raw_strings.h"

#include <gtest/gtest.h>
#include <string>

namespace sornik::cmode {
namespace {

// The problems of a token as "message@offset; ...".
std::string problems(std::string_view token) {
  std::string out;
  for (const RawStringProblem& problem : raw_string_problems(token))
    out += problem.message + "@" + std::to_string(problem.at) + "; ";
  return out;
}

TEST(RawStrings, DelimitersTakeAtMostSixteenBytesOfTheBasicSet) {
  EXPECT_TRUE(raw_delimiter_valid("R\"(x)\"", 1));
  EXPECT_TRUE(raw_delimiter_valid("R\"0123456789abcdef(x)0123456789abcdef\"", 1));
  EXPECT_FALSE(raw_delimiter_valid("R\"0123456789abcdefg(x)0123456789abcdefg\"", 1));
  for (const char* fine : {"R\"\"(x)\"\"", "R\"'(x)'\"", "R\"{~?,(x){~?,\""})
    EXPECT_TRUE(raw_delimiter_valid(fine, 1)) << fine;
  for (const char* bad : {"R\" (x) \"", "R\"\\(x)\\\"", "R\"$(x)$\"", "R\"@(x)@\"", "R\"`(x)`\"",
                          "R\"\t(x)\t\"", "R\"a)(x)a)\"", "R\"\xc3\xa9(x)\xc3\xa9\"", "R\"a\n(x)a\n\""})
    EXPECT_FALSE(raw_delimiter_valid(bad, 1)) << bad;
}

TEST(RawStrings, EndAtTheirDelimiterOrTheNextQuote) {
  const std::string_view text = "R\"x()\" )y\" )x\" tail";
  EXPECT_EQ(raw_string_end(text, 1), text.find(" tail"));
  EXPECT_EQ(raw_string_end("R\"x()x", 1), std::string_view::npos);
  EXPECT_EQ(raw_string_end("R\"x(", 1), std::string_view::npos);
  EXPECT_EQ(raw_string_end("R\"x", 1), std::string_view::npos);
  // No valid delimiter: the next quote ends it, across lines.
  EXPECT_EQ(raw_string_end("R\"a b\nc\" d", 1), 8u);
  EXPECT_EQ(raw_string_end("R\"a b c", 1), std::string_view::npos);
}

TEST(RawStrings, ReportTheCompilersErrors) {
  EXPECT_EQ(problems("R\"(x)\""), "");
  EXPECT_EQ(problems("R\"0123456789abcdef(x)0123456789abcdef\""), "");
  EXPECT_EQ(problems("R\"0123456789abcdefg(x)\""), "raw string delimiter longer than 16 characters@18; ");
  EXPECT_EQ(problems("uR\"a b(x)a b\""), "invalid character ' ' in raw string delimiter@4; ");
  EXPECT_EQ(problems("u8R\"a\\(x)a\\\""), "invalid character '\\' in raw string delimiter@5; ");
  EXPECT_EQ(problems("R\"ab\nc\""), "invalid new-line in raw string delimiter@4; ");
  EXPECT_EQ(problems("R\"ab\nc"), "invalid new-line in raw string delimiter@4; unterminated raw string@0; ");
  EXPECT_EQ(problems("LR\"x(open)"), "unterminated raw string@0; ");
  EXPECT_EQ(problems("R\"xy"), "unterminated raw string@0; ");
}

TEST(RawStrings, PrefixesStandAloneBeforeTheQuote) {
  for (const char* text : {"R\"", "LR\"", "uR\"", "UR\"", "u8R\"", "(R\"", "+u8R\""})
    EXPECT_TRUE(raw_string_prefix_before(text, std::string_view(text).size() - 1)) << text;
  for (const char* text : {"xR\"", "8R\"", "uLR\"", "u8uR\"", "\"", "_R\""})
    EXPECT_FALSE(raw_string_prefix_before(text, std::string_view(text).size() - 1)) << text;
}

}  // namespace
}  // namespace sornik::cmode
