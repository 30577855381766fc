#include "render/output_format.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "captured_io.h"
#include "common/run_io.h"
#include "marked_text.h"
#include "textual/scan/line_buffers.h"

namespace sornik {
namespace {

using testing::marked;

// The line as line expansion leaves it for a use of A whose expansion uses B.
const std::string kLine = marked("x = {3}A{1}1 + {3}B{1}2{2}{2};\n");

// Prints `line` through print_chgdata with the format `with` (none: the
// default rendering) and returns what reached the output.
std::string printed(const std::string& line, std::optional<std::string_view> with = std::nullopt) {
  testing::CapturedIo io;
  reset_line_buffers();
  format = with.value_or("");
  format_flag = with ? 1 : 0;
  obuf = line;
  print_chgdata();
  out_flush();
  format = {};
  format_flag = 0;
  return io.out();
}

TEST(OutputFormat, RenderingTable) {
  const struct {
    std::optional<std::string_view> format;
    const char* expected;
  } cases[] = {
      {std::nullopt, "x = A`1 + B`2'';\n"},
      {"[$n=$x]", "x = [A=1 + [B=2]];\n"},
      {"$x", "x = 1 + 2;\n"},
      {"$n", "x = A;\n"},
      {"$x$x", "x = 1 + 221 + 22;\n"},
      {"-", "x = -;\n"},
      {"$N", "x = ;\n"},
      {"$$", "x = ;\n"},
      {"a$", "x = a;\n"},
      {"$n`$x'", "x = A`1 + B`2'';\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(printed(kLine, c.format), c.expected) << c.format.value_or("default");
}

TEST(OutputFormat, EachFormatPassRendersOneLevel) {
  reset_line_buffers();
  format = "[$n=$x]";
  ibuf = kLine;
  obuf.clear();
  std::size_t in = 4;
  format_edit(in);
  EXPECT_EQ(obuf, marked("[A=1 + {3}B{1}2{2}]"));
  EXPECT_EQ(ibuf[in], '\x02');
  EXPECT_EQ(in, kLine.size() - 3);
  format = {};
}

TEST(OutputFormat, EscapedBytesAreNeverMarks) {
  // Bytes 0x01 to 0x04 from the source, from a value and from the format
  // reach the output as they are.
  const std::string line = marked("{4}{1}{3}A{4}{3}{1}v{4}{2}{2}{4}{4}\n");
  EXPECT_EQ(printed(line),
            "\x01"
            "A\x03`v\x02'\x04\n");
  EXPECT_EQ(printed(line, "<$n\x03$x\x01>"), "\x01<A\x03\x03v\x02\x01>\x04\n");
}

TEST(OutputFormat, LongRenderingGrowsTheBuffers) {
  std::string line;
  for (int group = 0; group < 100; ++group) line += marked("{3}NAME{1}" + std::string(40, 'v') + "{2} ");
  const std::string out = printed(line + "\n", "[$n -> $x]");
  EXPECT_EQ(out.size(), 100 * (4 + 40 + 7) + 1u);
  EXPECT_EQ(obuf_len % 1024, 1);
  EXPECT_GE(ibuf_len, obuf_len);
}

TEST(OutputFormat, UnclosedGroupDoesNotReadPastTheText) {
  EXPECT_EQ(printed(marked("a {3}N{1}x"), "[$n|$x]"), "a [N|x]");
  EXPECT_EQ(printed(marked("a {3}N"), "[$n|$x]"), "a [N|]");
  EXPECT_EQ(printed(marked("a {3}N{1}{3}M"), "[$n|$x]"), "a [N|[M]|]");
}

}  // namespace
}  // namespace sornik
