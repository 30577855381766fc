#include "render/page/source_colouring.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace sornik {
namespace {

// The colouring of a source handed over in the given pieces, each piece's
// HTML parted from the next by "|".
std::string coloured(std::initializer_list<std::string_view> pieces) {
  SourceColouring colouring;
  std::string out;
  for (const std::string_view piece : pieces) {
    if (!out.empty()) out.push_back('|');
    colouring.append(out, piece);
  }
  return out;
}

TEST(SourceColouring, ColoursKeywordsNumbersLiteralsAndDirectives) {
  EXPECT_EQ(
      coloured({"int integer = 0x1e+1 + .5;\n"}),
      R"(<span class="k">int</span> integer = <span class="n">0x1e+1</span> + <span class="n">.5</span>;)"
      "\n");
  EXPECT_EQ(
      coloured({"  # define X 'a' \"b\\\"c\"\n"}),
      R"(  <span class="p"># define</span> X <span class="s">'a'</span> <span class="s">&quot;b\&quot;c&quot;</span>)"
      "\n");
  // A "#" after other text on its line is no directive.
  EXPECT_EQ(coloured({"x # y\n#z"}), "x # y\n<span class=\"p\">#z</span>");
}

TEST(SourceColouring, CarriesCommentsAndLiteralsAcrossPieces) {
  EXPECT_EQ(coloured({"a /* b", "c */ d"}), R"(a <span class="c">/* b</span>|<span class="c">c */</span> d)");
  // "/*/" opens a comment that the next "/" after a star closes, even across pieces.
  EXPECT_EQ(coloured({"/*/ x *", "/y"}), R"(<span class="c">/*/ x *</span>|<span class="c">/</span>y)");
  EXPECT_EQ(coloured({"// x \\", "y\nz"}), R"(<span class="c">// x \</span>|<span class="c">y</span>)"
                                           "\nz");
  EXPECT_EQ(coloured({"\"a\\", "\"b\" c"}),
            R"(<span class="s">&quot;a\</span>|<span class="s">&quot;b&quot;</span> c)");
  // A literal left open ends with its line.
  EXPECT_EQ(coloured({"'a\nint"}), "<span class=\"s\">'a</span>\n<span class=\"k\">int</span>");
}

TEST(SourceColouring, StartsAfreshOnReset) {
  SourceColouring colouring;
  std::string out;
  colouring.append(out, "/* open");
  colouring.reset();
  out.clear();
  colouring.append(out, "if");
  EXPECT_EQ(out, R"(<span class="k">if</span>)");
}

}  // namespace
}  // namespace sornik
