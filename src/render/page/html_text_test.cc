#include "render/page/html_text.h"

#include <gtest/gtest.h>
#include <string>

namespace sornik {
namespace {

std::string html(std::string_view bytes) {
  std::string out;
  append_html_text(out, bytes);
  return out;
}

TEST(HtmlText, EscapesMarkupCharactersAndKeepsTheRest) {
  EXPECT_EQ(html("a<b>&\"c' \t\r\n~"), "a&lt;b&gt;&amp;&quot;c' \t\r\n~");
  EXPECT_EQ(html("</script><!--"), "&lt;/script&gt;&lt;!--");
}

TEST(HtmlText, ShowsControlCharactersAtBothEdgesOfTheirRanges) {
  EXPECT_EQ(html(std::string_view("\0\x08\x0b\x1f\x20", 5)),
            R"(<span class="x">\x00</span><span class="x">\x08</span><span class="x">\x0B</span>)"
            R"(<span class="x">\x1F</span> )");
  EXPECT_EQ(html("\x7e\x7f"), R"(~<span class="x">\x7F</span>)");
  // U+0080 to U+009F as a well-formed sequence, U+00A0 is none.
  EXPECT_EQ(html("\xc2\x80\xc2\x9f\xc2\xa0"),
            "<span class=\"x\">\\x80</span><span class=\"x\">\\x9F</span>\xc2\xa0");
}

TEST(HtmlText, ReadsBytesOfNoUtf8SequenceAsLatin1) {
  EXPECT_EQ(html("\xe9t\xe9"), "\xc3\xa9t\xc3\xa9");
  EXPECT_EQ(html("\xff\xa0"), "\xc3\xbf\xc2\xa0");
  // A lone byte 0x80 to 0x9F is a C1 control read as Latin-1.
  EXPECT_EQ(html("\x80\x9f"), R"(<span class="x">\x80</span><span class="x">\x9F</span>)");
  // A surrogate's encoding is no sequence: three bytes of their own.
  EXPECT_EQ(html("\xed\xa0\x80"), "\xc3\xad\xc2\xa0<span class=\"x\">\\x80</span>");
  EXPECT_EQ(html("\xe2\x82\xac\xf0\x9f\x98\x80"), "\xe2\x82\xac\xf0\x9f\x98\x80");
}

}  // namespace
}  // namespace sornik
