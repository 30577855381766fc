#include "render/page/html_page.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "html_check.h"
#include "marked_text.h"

namespace sornik {
namespace {

using testing::marked;

// Values of final texts that are a decimal number.
class DecimalValues : public ValueReader {
 public:
  bool read(std::string_view text, IntegerValue& value) override {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
    value = {std::stoull(std::string(text)), 32, false};
    return true;
  }
};

struct Group {
  std::string_view macro;
  std::uint32_t line;
  bool annotated = true;
};

UseFacts facts_of(const std::vector<Group>& groups, ValueReader* values = nullptr) {
  UseFacts facts;
  for (const Group& group : groups) {
    facts.add_group({.macro = group.macro,
                     .defined_at = {"d.h", group.line},
                     .definition = "#define ...",
                     .annotated = group.annotated});
  }
  facts.values = values;
  return facts;
}

// The source's part of the page and its nodes' JSON, for one marked text.
struct Written {
  std::string source;
  std::string nodes;
};

Written write(std::string_view text, const UseFacts* facts, std::size_t depth = 0) {
  HtmlPage page;
  page.begin({"a.c"});
  page.begin_source("a.c");
  Written written{std::string(page.text(text, facts, depth)), std::string(page.end_source())};
  const std::string_view start = "<script type=\"application/json\" class=\"uses\">[";
  written.nodes = written.nodes.substr(written.nodes.find(start) + start.size());
  written.nodes.resize(written.nodes.find("]</script>"));
  return written;
}

// A use of A whose expansion uses B, which uses C.
const std::string kNested = marked("x = {3}A(1){1}1 + {3}B{1}({3}C{1}7{2}){2}{2};\n");

TEST(HtmlPage, WritesEachUseAsANodeWithItsNestedUses) {
  DecimalValues values;
  const UseFacts facts = facts_of({{"A", 1}, {"B", 2}, {"C", 3}}, &values);
  const Written written = write(kNested, &facts);
  EXPECT_EQ(written.source, "x = <span class=\"u\">A(<span class=\"n\">1</span>)</span>;\n");
  EXPECT_EQ(written.nodes, R"j([0,"A(1)","","","1 + ",[1,"B","","","(",[2,"C","7","0x7","7"],")"]])j");
}

TEST(HtmlPage, StopsAtTheDepthWithFinalTexts) {
  const UseFacts facts = facts_of({{"A", 1}, {"B", 2}, {"C", 3}});
  EXPECT_EQ(write(kNested, &facts, 1).nodes, R"j([0,"A(1)","","","1 + (7)"])j");
  EXPECT_EQ(write(kNested, &facts, 2).nodes, R"j([0,"A(1)","","","1 + ",[1,"B","","","(7)"]])j");
  EXPECT_EQ(write(kNested, &facts, 3).nodes, write(kNested, &facts, 0).nodes);
}

TEST(HtmlPage, LeavesUsesOutOfFocusUnmarked) {
  // A nested use out of focus stands as its expansion, its own uses a level up.
  const UseFacts hidden_b = facts_of({{"A", 1}, {"B", 2, false}, {"C", 3}});
  EXPECT_EQ(write(kNested, &hidden_b).nodes, R"j([0,"A(1)","","","1 + (",[1,"C","","","7"],")"])j");
  EXPECT_EQ(write(kNested, &hidden_b, 2).nodes, R"j([0,"A(1)","","","1 + (",[1,"C","","","7"],")"])j");
  // An outermost use out of focus reads as written.
  const UseFacts hidden_a = facts_of({{"A", 1, false}, {"B", 2}, {"C", 3}});
  const Written written = write(kNested, &hidden_a);
  EXPECT_EQ(written.source, "x = A(<span class=\"n\">1</span>);\n");
  EXPECT_EQ(written.nodes, "");
}

TEST(HtmlPage, ListsEachDefinitionOnce) {
  HtmlPage page;
  page.begin({"a.c"});
  page.begin_source("a.c");
  const UseFacts facts = facts_of({{"A", 4}, {"A", 4}, {"B", 9}});
  page.text(marked("{3}A{1}1{2} {3}A{1}1{2} {3}B{1}2{2}"), &facts, 0);
  EXPECT_NE(std::string(page.end_source()).find(R"j([0,"A","","","1"],[0,"A","","","1"],[1,"B","","","2"])j"),
            std::string::npos);
  EXPECT_NE(std::string(page.end())
                .find(R"j(<script type="application/json" id="definitions">[["A","d.h",4,"#define ..."],)j"
                      R"j(["B","d.h",9,"#define ..."]]</script>)j"),
            std::string::npos);
}

TEST(HtmlPage, WritesAWellFormedPageWhateverTheBytes) {
  HtmlPage page;
  std::string html(page.begin({"a.c", "b<1>.c"}));
  html += page.begin_source("a.c");
  html += page.plain("\n#include \"</script>\"\n\x01\xff\x80 /* open");
  const UseFacts facts = facts_of({{"M", 1}, {"N", 2}});
  html += page.text(marked("{3}M{1}</script><!--{4}{1}\xc3\x7f\xc2\x85\xc2\xa0{3}N{1}\"&{2}{2} */ {2}{1}"),
                    &facts, 0);
  html += page.end_source();
  html += page.begin_source("b<1>.c");
  html += page.text(marked("{3}M{1}{3}"), nullptr, 0);
  html += page.end_source();
  html += page.end();
  EXPECT_EQ(testing::html_problem(html), "");
  // The <pre>'s own line feed keeps the source's first one.
  EXPECT_NE(html.find("<pre class=\"src\">\n\n"), std::string::npos);
  EXPECT_NE(html.find("<a href=\"#f1\">b&lt;1&gt;.c</a>"), std::string::npos);
  // DEL and a C1 control are escaped, as the byte before them that is no
  // UTF-8; a no-break space, the first character after the C1 controls, is not.
  EXPECT_NE(html.find(R"j("\u003c/script>\u003c!--\u0001\u00c3\u007f\u0085)j"
                      "\xc2\xa0\""),
            std::string::npos);
}

std::size_t blocks_of(std::string_view html) {
  std::size_t count = 0;
  for (std::size_t pos = html.find("<pre"); pos != std::string_view::npos; pos = html.find("<pre", pos + 1))
    ++count;
  return count;
}

TEST(HtmlPage, CutsTheSourceIntoBlocksOfTwoHundredLines) {
  for (const std::size_t lines : {199, 200, 201}) {
    HtmlPage page;
    page.begin({"a.c"});
    std::string html(page.begin_source("a.c"));
    html += page.plain(std::string(lines, '\n'));
    EXPECT_EQ(blocks_of(html), lines < 200 ? 1 : 2) << lines;
  }
  // A use's lines count, and the block never ends inside it.
  HtmlPage page;
  page.begin({"a.c"});
  std::string html(page.begin_source("a.c"));
  html += page.plain(std::string(198, '\n'));
  html += page.text(marked("{3}F(\n\n){1}1{2}\n"), nullptr, 0);
  EXPECT_EQ(blocks_of(html), 2);
  EXPECT_NE(html.find("<span class=\"u\">F(\n\n)</span>\n</pre>"), std::string::npos);
}

}  // namespace
}  // namespace sornik
