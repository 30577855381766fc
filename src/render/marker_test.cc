#include "render/marker.h"

#include <gtest/gtest.h>
#include <string>

#include "marked_text.h"

namespace sornik {
namespace {

using testing::marked;

TEST(Marker, EscapingRoundTripsEveryByte) {
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  std::string escaped;
  append_escaped(escaped, all);
  EXPECT_EQ(escaped.size(), escaped_size(all));
  EXPECT_EQ(escaped.size(), 256u + 4u);
  EXPECT_EQ(find_mark(escaped, 0), escaped.size());
  std::string back;
  append_unescaped(back, escaped);
  EXPECT_EQ(back, all);
}

TEST(Marker, FindMarkSkipsEscapePairsAndNulBytes) {
  // Marks and escape pairs on both sides of the 8-byte steps of the search.
  const struct {
    const char* readable;
    std::size_t from;
    std::size_t expected;
  } cases[] = {
      {"abcdefg{4}{3}xyz{1}", 0, 12},
      {"abcdefgh{4}{4}{2}", 0, 10},
      {"{4}{1}{4}{2}{4}{3}{4}{4}abcdefgh", 0, 16},
      {"0123456789abcdef{2}", 3, 16},
      {"{3}name{1}", 1, 5},
      {"plain text without marks at all", 0, 31},
  };
  for (const auto& c : cases) EXPECT_EQ(find_mark(marked(c.readable), c.from), c.expected) << c.readable;
  EXPECT_EQ(find_mark(std::string("\0\0\0\0\0\0\0\0\0\x02", 10), 0), 9u);
  // A search that starts past the end (after an escape pair that ends the text).
  EXPECT_EQ(find_mark(marked("ab{4}"), 4), 3u);
}

// The search tests whole blocks of 16 or 8 bytes: a mark is found at every
// position of them and of the bytes after them, among the bytes next to the
// mark range (0x00, 0x05, 0xFF) that are none.
TEST(Marker, MarksAreFoundAtEveryPositionOfTheBlocks) {
  const char kFiller[] = {'\0', '\x05', '\xff', '\x80', 'a'};
  for (std::size_t size = 1; size <= 48; ++size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text.push_back(kFiller[i % std::size(kFiller)]);
    EXPECT_EQ(find_mark(text, 0), size);
    EXPECT_EQ(escaped_size(text), size);
    for (std::size_t at = 0; at < size; ++at) {
      for (const char mark : {kSeparatorMark, kEndMark, kStartMark, kEscapeMark}) {
        std::string with_mark = text;
        with_mark[at] = mark;
        EXPECT_EQ(escaped_size(with_mark), size + 1) << size << " " << at;
        if (mark == kEscapeMark) continue;
        EXPECT_EQ(find_mark(with_mark, 0), at) << size << " " << at;
        EXPECT_EQ(find_mark(with_mark, at + 1), size) << size << " " << at;
        std::string rendered;
        append_default_rendering(rendered, with_mark);
        EXPECT_EQ(rendered.size(), mark == kStartMark ? size - 1 : size) << size << " " << at;
      }
    }
  }
}

}  // namespace
}  // namespace sornik
