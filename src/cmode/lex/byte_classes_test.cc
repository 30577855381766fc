// Tests that the columns of the byte table agree where their readers must.
#include "cmode/lex/byte_classes.h"

#include <gtest/gtest.h>

namespace sornik::cmode {
namespace {

TEST(ByteRows, ColumnsAgreeOnEveryByte) {
  for (int c = 0; c < 256; ++c) {
    const ByteRow& row = kByteRows[static_cast<std::size_t>(c)];
    const bool identifier = (row.token & kIdStart) != 0;
    const bool digit = (row.token & kDigit) != 0;
    EXPECT_EQ(identifier, row.feed == FeedClass::identifier) << c;
    EXPECT_EQ(identifier, row.start == ByteStart::identifier || row.start == ByteStart::prefix) << c;
    EXPECT_EQ(digit, row.feed == FeedClass::digit && row.start == ByteStart::digit) << c;
    EXPECT_EQ((row.token & kHighByte) != 0, c >= 0x80) << c;
    EXPECT_EQ((row.token & kSpace) != 0, row.start == ByteStart::blank) << c;
    // Plainly written names are ASCII words: `$` is left to the lexer.
    EXPECT_EQ((row.plain & kWordByte) != 0, (identifier || digit) && c != '$') << c;
    if ((row.plain & kWordByte) != 0) {
      EXPECT_NE(row.plain & kHeaderNameByte, 0) << c;
    }
    if ((row.token & kSpace) != 0) {
      EXPECT_NE(row.plain & kListSpecial, 0) << c;
    }
  }
}

TEST(ByteRows, ReadersStopAtTheirOwnBytes) {
  for (char c : std::string_view("\n\"'/\\")) EXPECT_NE(byte_row(c).plain & kLineStop, 0) << c;
  for (char c : std::string_view("*#%_a\t\r")) EXPECT_EQ(byte_row(c).plain & kLineStop, 0) << c;
  for (char c : std::string_view("./+-")) EXPECT_NE(byte_row(c).plain & kHeaderNameByte, 0) << c;
  for (char c : std::string_view("<>\"*,")) EXPECT_EQ(byte_row(c).plain & kHeaderNameByte, 0) << c;
  for (char c : std::string_view("\"'#\\/%_")) EXPECT_NE(byte_row(c).plain & kListSpecial, 0) << c;
  for (char c : std::string_view("a$(*+")) EXPECT_EQ(byte_row(c).plain & kListSpecial, 0) << c;
  EXPECT_EQ(byte_row('\n').feed, FeedClass::newline);
  EXPECT_EQ(byte_row('\r').feed, FeedClass::plain);
  EXPECT_EQ(byte_row('\\').feed, FeedClass::backslash);
  EXPECT_EQ(byte_row('.').start, ByteStart::dot);
  EXPECT_EQ(byte_row('/').start, ByteStart::slash);
  EXPECT_EQ(byte_row('@').start, ByteStart::other);
  EXPECT_EQ(byte_row('\0').start, ByteStart::blank);
}

}  // namespace
}  // namespace sornik::cmode
