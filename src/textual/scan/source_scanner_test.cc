// Tests of the source scanner: where a continued line, comment, literal or bracket
// ends, and the text the scan collected (get_content).
#include "textual/scan/source_scanner.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

#include "lead_byte_edges.h"

using namespace std::string_literals;

namespace sornik {
namespace {

// A stream over `text` from which further lines are read.
class LinesAfter {
 public:
  explicit LinesAfter(const std::string& text) : file_(std::tmpfile()), reader_(file_) {
    std::fwrite(text.data(), 1, text.size(), file_);
    std::rewind(file_);
  }
  ~LinesAfter() { std::fclose(file_); }
  LineReader* reader() { return &reader_; }

 private:
  std::FILE* file_;
  LineReader reader_;
};

class SourceScannerTest : public ::testing::Test {
 protected:
  SourceScanner scanner;

  // The scan after an inner one is top-level again: it starts a list of its own.
  void expect_next_scan_collects_alone() {
    std::string line = "'q'\n";
    ASSERT_EQ(scanner.get_strend(nullptr, line, 0), 2u);
    EXPECT_EQ(scanner.get_content(0), "'q'");
  }
};

TEST_F(SourceScannerTest, BracketScanWithinOneLine) {
  std::string line = "f(a, (b), c);\n";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 1), 11u);
  EXPECT_EQ(scanner.get_content(1), "a, (b), c");
  EXPECT_EQ(scanner.get_content(1), "a, (b), c") << "a second call gives the same text";
  EXPECT_EQ(scanner.get_content(0), "(a, (b), c)");

  // Brackets inside a literal and a comment do not count.
  line = "(a, ')', /* ) */ b)\n";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), 18u);
  EXPECT_EQ(scanner.get_content(1), "a, ')', /* ) */ b");

  // Only the opening kind counts; every ">" closes a "<".
  line = "[x(]\n";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), 3u);
  line = "<p->x>\n";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), 3u);
  line = "{a{b}c}\n";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), 6u);

  line = "()\n";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), 1u);
  EXPECT_EQ(scanner.get_content(1), "");
}

TEST_F(SourceScannerTest, BracketScanAtNoBracketCollectsNothing) {
  std::string line = "(a)\n";
  ASSERT_EQ(scanner.get_braend(nullptr, line, 0), 2u);
  line = "x(1)\n";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), 0u);
  EXPECT_EQ(scanner.get_content(1), "");
  EXPECT_EQ(scanner.get_content(0), "");
  EXPECT_EQ(scanner.get_braend(nullptr, line, line.size()), line.size()) << "at the end of the line";
}

TEST_F(SourceScannerTest, BracketScanReadsFurtherLines) {
  LinesAfter rest("b) + 1;\nnext\n");
  std::string line = "(a,\n";
  EXPECT_EQ(scanner.get_braend(rest.reader(), line, 0), 1u);
  EXPECT_EQ(line, "b) + 1;\n");
  EXPECT_EQ(scanner.get_content(1), "a,\nb");
}

TEST_F(SourceScannerTest, BracketScanCollectsLinesReadByInnerScans) {
  LinesAfter comment_rest("y */ b)\n");
  std::string line = "call(a, /* x\n";
  EXPECT_EQ(scanner.get_braend(comment_rest.reader(), line, 4), 6u);
  EXPECT_EQ(scanner.get_content(1), "a, /* x\ny */ b");
  expect_next_scan_collects_alone();

  // A literal over three lines, closing on the third, then more lines.
  LinesAfter literal_rest("mid\nend\" , c\n)\n");
  line = "(a, \"start\n";
  EXPECT_EQ(scanner.get_braend(literal_rest.reader(), line, 0), 0u);
  EXPECT_EQ(line, ")\n");
  EXPECT_EQ(scanner.get_content(0), "(a, \"start\nmid\nend\" , c\n)");
  expect_next_scan_collects_alone();
}

TEST_F(SourceScannerTest, BracketScanThatNeverCloses) {
  std::string line = "(a,\n";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), kNotClosed);
  EXPECT_EQ(scanner.get_content(0), "(a,\n") << "the whole line stays collected";

  // The apostrophe in a line comment opens a character literal.
  LinesAfter rest("b)\n");
  line = "(a, // don't\n";
  EXPECT_EQ(scanner.get_braend(rest.reader(), line, 0), kNotClosed);
  EXPECT_EQ(scanner.get_content(0), "(a, // don't\nb)\n");
  EXPECT_EQ(line, "b)\n") << "the last line read stays";
  expect_next_scan_collects_alone();

  // A comment that does not close in the line, without a stream.
  line = "(a /* b)\n";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), kNotClosed);
  EXPECT_EQ(scanner.get_content(0), line);
}

TEST_F(SourceScannerTest, LogicalLineEnd) {
  LinesAfter rest("2\nnot read\n");
  std::string line = "x 1 + \\\n";
  EXPECT_EQ(scanner.get_linend(rest.reader(), line, 2), 2u);
  EXPECT_EQ(line, "2\n");
  EXPECT_EQ(scanner.get_content(0), "1 + \\\n2\n");

  // A blank after the backslash, or none at all, ends the logical line.
  line = "1 + \\ \n";
  EXPECT_EQ(scanner.get_linend(rest.reader(), line, 0), line.size());
  EXPECT_EQ(scanner.get_content(0), "1 + \\ \n");
  line = "1 + \\";
  EXPECT_EQ(scanner.get_linend(rest.reader(), line, 0), line.size());

  // The second byte of a two-byte character is no backslash.
  line = "\"\x95\x5c\n";
  EXPECT_EQ(scanner.get_linend(rest.reader(), line, 0), line.size());
  EXPECT_EQ(scanner.get_content(0), line);
}

TEST_F(SourceScannerTest, OnlyTheLastBackslashOfALineDecides) {
  const struct {
    const char* line;
    bool continues;
  } cases[] = {
      {"\"a\\n\" \\\n", true}, {"\\ x \\\\\n", true}, {"x \\ \\\n", true},
      {"a \\\\ \n", false},    {"\\x\n", false},
  };
  for (const auto& c : cases) {
    LinesAfter rest("next\n");
    std::string line = c.line;
    scanner.get_linend(rest.reader(), line, 0);
    EXPECT_EQ(scanner.get_content(0), c.continues ? std::string(c.line) + "next\n" : std::string(c.line))
        << c.line;
  }
}

TEST_F(SourceScannerTest, LogicalLineKeepsEqualPiecesAndStopsAtEndOfInput) {
  LinesAfter rest("a \\\nlast\n");
  std::string line = "a \\\n";
  EXPECT_EQ(scanner.get_linend(rest.reader(), line, 0), 5u);
  EXPECT_EQ(scanner.get_content(0), "a \\\na \\\nlast\n");

  LinesAfter ends_continued("b \\\n");
  line = "a \\\n";
  EXPECT_EQ(scanner.get_linend(ends_continued.reader(), line, 0), kNotClosed);
  EXPECT_EQ(scanner.get_content(0), "a \\\nb \\\n");
  EXPECT_EQ(line, "b \\\n");
}

TEST_F(SourceScannerTest, OverlongFurtherLineArrivesInSeveralReads) {
  const std::string long_line(1500, 'v');
  LinesAfter rest(long_line + "\\\nnext\n");
  std::string line = "\\\n";
  // The first read of the long line has no newline after its last byte.
  EXPECT_EQ(scanner.get_linend(rest.reader(), line, 0), 1023u);
  EXPECT_EQ(scanner.get_content(0), "\\\n" + long_line.substr(0, 1023));

  LinesAfter bracket_rest(long_line + ")\n");
  line = "(\n";
  EXPECT_EQ(scanner.get_braend(bracket_rest.reader(), line, 0), 1500u - 1023u);
  EXPECT_EQ(scanner.get_content(1), "\n" + long_line);
}

TEST_F(SourceScannerTest, LiteralEnd) {
  std::string line = R"("a\"b" rest)";
  EXPECT_EQ(scanner.get_strend(nullptr, line, 0), 5u) << "an escaped quote does not close";
  EXPECT_EQ(scanner.get_content(0), R"("a\"b")");

  line = "'\"' x";
  EXPECT_EQ(scanner.get_strend(nullptr, line, 0), 2u) << "only the same kind of quote closes";

  line = "\"\x95\x5c\" x";
  EXPECT_EQ(scanner.get_strend(nullptr, line, 0), 3u) << "0x5C after a lead byte is no backslash";

  LinesAfter rest("b\" c\n");
  line = "\"a\n";
  EXPECT_EQ(scanner.get_strend(rest.reader(), line, 0), 1u) << "an open literal goes on";
  EXPECT_EQ(scanner.get_content(0), "\"a\nb\"");

  LinesAfter escaped_rest("'\n");
  line = "'\\";
  EXPECT_EQ(scanner.get_strend(escaped_rest.reader(), line, 0), 0u) << "a backslash ending a read";
}

TEST_F(SourceScannerTest, CommentEnd) {
  std::string line = "/*/ x */";
  EXPECT_EQ(scanner.get_commend(nullptr, line, 0), 7u);
  line = "/**/";
  EXPECT_EQ(scanner.get_commend(nullptr, line, 0), 3u);
  EXPECT_EQ(scanner.get_content(0), "/**/");
  line = "/*";
  EXPECT_EQ(scanner.get_commend(nullptr, line, 0), kNotClosed);

  LinesAfter rest("b */ c\n");
  line = "a /* x\n";
  EXPECT_EQ(scanner.get_commend(rest.reader(), line, 2), 3u);
  EXPECT_EQ(scanner.get_content(0), "/* x\nb */");
}

TEST_F(SourceScannerTest, LeadByteRangeEdges) {
  for (const testing::EdgeByte& edge : testing::kLeadByteEdges) {
    // A backslash after a lead byte is its second byte and continues no line.
    LinesAfter rest("next\n");
    const std::string continued = "1 " + edge.text() + "\\\n";
    std::string line = continued;
    scanner.get_linend(rest.reader(), line, 0);
    EXPECT_EQ(scanner.get_content(0), edge.lead ? continued : continued + "next\n") << edge;

    // A quote after a lead byte closes no literal.
    line = "\"" + edge.text() + "\"\" x";
    EXPECT_EQ(scanner.get_strend(nullptr, line, 0), edge.lead ? 3u : 2u) << edge;

    // Comment and bracket scans look at every byte by itself.
    line = "/*" + edge.text() + "*/";
    EXPECT_EQ(scanner.get_commend(nullptr, line, 0), 4u) << edge;
    line = "(" + edge.text() + ")";
    EXPECT_EQ(scanner.get_braend(nullptr, line, 0), 2u) << edge;
  }
}

TEST_F(SourceScannerTest, TextsAreBytesOfAnyLength) {
  std::string line = "(a\0b)\n"s;
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), 4u);
  EXPECT_EQ(scanner.get_content(1), "a\0b"s);

  // A line handed in by the caller may be longer than a read.
  const std::string inside(5000, 'x');
  line = "(" + inside + ")";
  EXPECT_EQ(scanner.get_braend(nullptr, line, 0), 5001u);
  EXPECT_EQ(scanner.get_content(1), inside);
}

}  // namespace
}  // namespace sornik
