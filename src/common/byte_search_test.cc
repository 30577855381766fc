// Tests of searches in texts of two-byte characters: a byte found never is the second
// byte of such a character.
#include "common/byte_search.h"

#include <gtest/gtest.h>

#include "lead_byte_edges.h"

namespace sornik {
namespace {

constexpr auto npos = std::string_view::npos;

TEST(ByteSearch, SkipsSecondBytesOfTwoByteCharacters) {
  // 0x83 0x5C is one character whose second byte is a backslash.
  const std::string_view text(
      "a\x83\x5C"
      "b\\",
      5);
  EXPECT_EQ(Strchr(text, '\\'), 4u);
  EXPECT_EQ(Strrchr(text, '\\'), 4u);
  EXPECT_EQ(Strchr(std::string_view("\x83\x5C", 2), '\\'), npos);
  EXPECT_EQ(Strrchr(std::string_view("\x83\x5C", 2), '\\'), npos);
}

TEST(ByteSearch, FindsLeadBytesAndTrailingLoneLeadByte) {
  EXPECT_EQ(Strchr("x\x83\x5C", 0x83), 1u);
  EXPECT_EQ(Strchr("ab\x83", 0x83 + 0x100), 2u);
  EXPECT_EQ(Strrchr("ab\x83", 0x83), 2u);
}

TEST(ByteSearch, LeadByteRangeEdges) {
  for (const testing::EdgeByte& edge : testing::kLeadByteEdges) {
    const std::string text = "a" + edge.text() + "\\";
    const std::size_t backslash = edge.lead ? npos : 2;
    EXPECT_EQ(Strchr(text, '\\'), backslash) << edge;
    EXPECT_EQ(Strrchr(text, '\\'), backslash) << edge;
  }
}

TEST(ByteSearch, ValueZeroIsNeverFound) {
  EXPECT_EQ(Strchr(std::string_view("a\0b", 3), 0), npos);
  EXPECT_EQ(Strrchr("abc", 0x100), npos);
  EXPECT_EQ(Strrchr("a/b/c", '/'), 3u);
}

}  // namespace
}  // namespace sornik
