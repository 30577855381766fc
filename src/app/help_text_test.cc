#include "app/help_text.h"

#include <gtest/gtest.h>

namespace sornik {
namespace {

// Any terminal shows the help as written: printable ASCII in lines that fit 80 columns.
TEST(HelpText, PlainAsciiInNarrowLines) {
  for (std::string_view text : {kHelpText, kVersionText}) {
    ASSERT_TRUE(text.ends_with('\n'));
    std::size_t line_start = 0;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
      const unsigned char byte = text[pos];
      if (byte == '\n') {
        EXPECT_LT(pos - line_start, 80u) << text.substr(line_start, pos - line_start);
        line_start = pos + 1;
        continue;
      }
      EXPECT_TRUE(byte >= 0x20 && byte < 0x7F) << "byte " << int{byte} << " at " << pos;
    }
  }
}

}  // namespace
}  // namespace sornik
