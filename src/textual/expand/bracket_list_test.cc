// Tests of where a call's bracketed argument list closes, counted a block at a time
// when no quote or slash comes first.
#include "textual/expand/bracket_list.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace sornik {
namespace {

TEST(CloseByBrackets, CountsOnlyTheListsOwnKind) {
  EXPECT_EQ(close_by_brackets("(a, (b), c);"), 10u);
  EXPECT_EQ(close_by_brackets("[x(]"), 3u);
  EXPECT_EQ(close_by_brackets("<p->x>"), 3u);
  EXPECT_EQ(close_by_brackets("{a}"), 2u);
  EXPECT_EQ(close_by_brackets("()"), 1u);
  EXPECT_EQ(close_by_brackets("(a, (b)"), kNotClosed);
  EXPECT_EQ(close_by_brackets("(a, ')')"), kUndecided);
  EXPECT_EQ(close_by_brackets("(a / b)"), kUndecided);
  EXPECT_EQ(close_by_brackets("(a) \"b\""), 2u) << "a quote after the close is not looked at";
}

// Lists of every length around the sixteen bytes tested at a time, with
// the deciding byte at every place.
TEST(CloseByBrackets, DecidesAtEveryPlace) {
  for (std::size_t length = 1; length < 70; ++length) {
    for (const char last : {')', '"', '\'', '/', '(', 'x'}) {
      std::string region = "(" + std::string(length - 1, 'y');
      region.back() = length == 1 ? '(' : last;
      region += std::string(40, 'z');
      const std::size_t expected =
          length == 1 || last == '(' || last == 'x' ? kNotClosed : (last == ')' ? length - 1 : kUndecided);
      EXPECT_EQ(close_by_brackets(region), expected) << length << " " << last;
    }
  }
}

// Random lists against counting byte by byte.
TEST(CloseByBrackets, AgreesWithACountByteByByte) {
  std::mt19937 random(3);
  static const char kBytes[] = "([{<)]}>'\"/ab\x80\xff";
  for (int round = 0; round < 20000; ++round) {
    const char open = "([{<"[random() % 4];
    const char close = open == '(' ? ')' : open == '[' ? ']' : open == '{' ? '}' : '>';
    std::string region(1, open);
    for (int n = static_cast<int>(random() % 60); n > 0; --n) {
      const char c = kBytes[random() % (sizeof kBytes - 1)];
      // Quotes and slashes are rare, so that most lists are decided by brackets.
      if ((c == '\'' || c == '"' || c == '/') && random() % 8 != 0) continue;
      region += c;
    }
    std::size_t expected = kNotClosed;
    int depth = 0;
    for (std::size_t pos = 0; pos < region.size() && expected == kNotClosed; ++pos) {
      if (region[pos] == open) ++depth;
      if (region[pos] == close && --depth == 0) expected = pos;
      if (region[pos] == '\'' || region[pos] == '"' || region[pos] == '/') expected = kUndecided;
    }
    ASSERT_EQ(close_by_brackets(region), expected) << region;
  }
}

}  // namespace
}  // namespace sornik
