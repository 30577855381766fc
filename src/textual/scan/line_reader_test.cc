// Tests of LineReader: the physical lines of a source or definition file, read a
// block at a time.
#include "textual/scan/line_reader.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "captured_io.h"
#include "common/fatal.h"

using namespace std::string_literals;

namespace sornik {
namespace {

// Every line that a reader gives for `text`.
std::vector<std::string> lines_of(const std::string& text, LineEnds line_ends, bool checked = false) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  LineReader reader(file, line_ends);
  std::vector<std::string> lines;
  std::string line;
  while (checked ? reader.read_checked_line(line) : reader.read_line(line)) lines.push_back(line);
  std::fclose(file);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, CrBeforeNewlineIsDroppedOnlyInDefinitionFiles) {
  const std::string block_end(65535, 'x');
  const struct {
    std::string text;
    Lines as_read;
    Lines crlf_as_lf;
  } cases[] = {
      {"a\r\nb\r\n", {"a\r\n", "b\r\n"}, {"a\n", "b\n"}},
      {"a\r\r\n\rb\n", {"a\r\r\n", "\rb\n"}, {"a\r\n", "\rb\n"}},
      {"a\rb\r", {"a\rb\r"}, {"a\rb\r"}},
      {"\0\r\n"s, {"\0\r\n"s}, {"\0\n"s}},
      // A CR that ends one read block and the newline that begins the next.
      {block_end + "\r\nz\r", {}, {}},
  };
  for (const auto& c : cases) {
    if (c.text.size() < 1000) {
      EXPECT_EQ(lines_of(c.text, LineEnds::kAsRead), c.as_read);
      EXPECT_EQ(lines_of(c.text, LineEnds::kCrLfAsLf), c.crlf_as_lf);
      continue;
    }
    std::string joined;
    for (const std::string& line : lines_of(c.text, LineEnds::kCrLfAsLf)) joined += line;
    EXPECT_EQ(joined, block_end + "\nz\r");
    joined.clear();
    for (const std::string& line : lines_of(c.text, LineEnds::kAsRead)) joined += line;
    EXPECT_EQ(joined, c.text);
  }
}

TEST(LineReader, ReadsStopAt1023BytesAndLoopsRefuseSuchLines) {
  const std::string longest(1021, 'a');
  EXPECT_EQ(lines_of(longest + "\n" + longest + "b", LineEnds::kAsRead, true),
            (Lines{longest + "\n", longest + "b"}));
  // In a definition file the CR does not count: the line holds 1022 bytes once it is gone.
  EXPECT_EQ(lines_of(longest + "\r\n", LineEnds::kCrLfAsLf, true), Lines{longest + "\n"});
  EXPECT_EQ(lines_of(longest + "bc", LineEnds::kAsRead), (Lines{longest + "bc"}));
  EXPECT_EQ(lines_of(longest + "bcd\n", LineEnds::kAsRead), (Lines{longest + "bc", "d\n"}));

  testing::CapturedIo io;
  EXPECT_THROW(lines_of(longest + "b\n", LineEnds::kAsRead, true), FatalStop);
  EXPECT_TRUE(io.err().ends_with("aaa \nError: too long line found\n")) << io.err();
}

// A line that the block's end cut is moved ahead of the bytes read after it,
// CR held back at the cut included; half a block or more is not moved.
TEST(LineReader, ReadMoreKeepsTheUnreadBytesInFront) {
  const std::string text = std::string(65528, 'x') + "\nabcdef\r\nrest\n";
  for (const LineEnds line_ends : {LineEnds::kAsRead, LineEnds::kCrLfAsLf}) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    LineReader reader(file, line_ends);
    const bool as_read = line_ends == LineEnds::kAsRead;
    EXPECT_EQ(reader.unread().size(), as_read ? 65536u : 65535u);
    EXPECT_FALSE(reader.read_more());
    reader.skip(65529);
    EXPECT_EQ(reader.unread(), as_read ? "abcdef\r" : "abcdef");
    EXPECT_TRUE(reader.read_more());
    EXPECT_EQ(reader.unread(), as_read ? "abcdef\r\nrest\n" : "abcdef\nrest\n");
    EXPECT_FALSE(reader.read_more());
    std::string line;
    EXPECT_TRUE(reader.read_line(line));
    EXPECT_EQ(line, as_read ? "abcdef\r\n" : "abcdef\n");
    EXPECT_TRUE(reader.read_line(line));
    EXPECT_EQ(line, "rest\n");
    EXPECT_FALSE(reader.read_line(line));
    std::fclose(file);
  }
}

}  // namespace
}  // namespace sornik
