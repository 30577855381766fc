// Tests of logical line ends, line kinds and the plain directive readers.
#include "cmode/lex/logical_lines.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "cmode/lex/dialect.h"

namespace sornik::cmode {
namespace {

// The logical lines of `text` separated by "|", each with a "#" in front
// when it is a directive, a "_" when it is blank, and a "+" after it when the
// text ended inside it (and a "*" after that when inside a block comment).
// Both scans must agree, and the newlines they count must be those of the
// line.
std::string split(std::string_view text, bool mark_blank = false) {
  std::string out;
  for (std::size_t pos = 0; pos < text.size();) {
    const LogicalLine line = scan_logical_line(text, pos);
    const LineEnd end = logical_line_end(text, pos);
    EXPECT_EQ(line.end, end.end) << text;
    EXPECT_EQ(line.complete, end.complete) << text;
    EXPECT_EQ(line.newlines, end.newlines) << text;
    const std::string_view bytes = text.substr(pos, end.end - pos);
    EXPECT_EQ(line.newlines, std::count(bytes.begin(), bytes.end(), '\n')) << bytes;
    if (!out.empty()) out += '|';
    if (line.kind == LineKind::directive) out += '#';
    if (mark_blank && line.kind == LineKind::blank) out += '_';
    out.append(bytes);
    if (!end.complete) out += '+';
    if (!line.complete && ends_inside_block_comment(bytes)) out += '*';
    pos = end.end;
  }
  return out;
}

struct Case {
  std::string_view text;
  std::string_view lines;
};

TEST(LogicalLines, JoinAtSplicesAndBlockComments) {
  const Case cases[] = {
      {"a\nb\n", "a\n|b\n"},
      {"a\\\nb\nc\n", "a\\\nb\n|c\n"},
      {"a\\\r\nb\r\nc", "a\\\r\nb\r\n|c+"},
      {"a /* x\ny */ b\nc\n", "a /* x\ny */ b\n|c\n"},
      {"a // x\\\ny\nc\n", "a // x\\\ny\n|c\n"},
      {"\"/*\" x\n'/*' y\n", "\"/*\" x\n|'/*' y\n"},
      {"don't /* open\nb\n", "don't /* open\n|b\n"},
      {"\"a\\\"b\nc\n", "\"a\\\"b\n|c\n"},
      {"\"a\\\\\nb\n", "\"a\\\\\nb\n"},
      {"\"a\\\\ \nb\n", "\"a\\\\ \nb\n"},
      // White space may stand between a splice's backslash and newline.
      {"a \\ \t\nb\n", "a \\ \t\nb\n"},
      {"a \\\f\v\r\nb\n", "a \\\f\v\r\nb\n"},
      {"a \\ x\nb\n", "a \\ x\n|b\n"},
      {"a \\ \r \nb\n", "a \\ \r \n|b\n"},
      // An escape across a splice takes the quote after it, and the comment
      // opener lies in the literal; so it does after a splice with a CR.
      {"\"a\\\\\n\" /* b\nc */\n", "\"a\\\\\n\" /* b\n|c */\n"},
      {"\"a\\\r\n/*\"", "\"a\\\r\n/*\"+"},
      {"\"a\r\n/*\"", "\"a\r\n|/*\"+*"},
      {"a /\\\n* c\n */ b\n", "a /\\\n* c\n */ b\n"},
      {"a /* c *\\\n/ b\nc\n", "a /* c *\\\n/ b\n|c\n"},
      {"a /* open", "a /* open+*"},
      {" /* open\n\n", " /* open\n\n+*"},
      {"a /* shut */", "a /* shut */+"},
      {"a // line", "a // line+"},
      {"a \"/* x", "a \"/* x+"},
      {"a '\\'' /* x", "a '\\'' /* x+*"},
      {"\"\\\" /*\" /\\\n* x", "\"\\\" /*\" /\\\n* x+*"},
      {"a /* b */ / c", "a /* b */ / c+"},
      {"a\\", "a\\+"},
      {"a \"x\\", "a \"x\\+"},
  };
  for (const Case& c : cases) EXPECT_EQ(split(c.text), c.lines) << c.text;
}

// Where the dialect reads them (C++11 on, GNU C), a raw string carries its
// line on across newlines; its prefix must be a name of its own.
TEST(LogicalLines, RawStringsSpanLines) {
  const Case cases[] = {
      {"R\"(a\n#b \" /*\n)\" c\nd\n", "R\"(a\n#b \" /*\n)\" c\n|d\n"},
      {"x = u8R\"xy(a\n)\"\n)xy\"\nd\n", "x = u8R\"xy(a\n)\"\n)xy\"\n|d\n"},
      {"LR\"(\\\n)\"\nd\n", "LR\"(\\\n)\"\n|d\n"},
      {"fooR\"(a\n)\"\n", "fooR\"(a\n|)\"\n"},
      {"8R\"(a\n)\"\n", "8R\"(a\n|)\"\n"},
      // Without a valid delimiter the literal goes on to the next quote.
      {"R\" (a\n)\"\n", "R\" (a\n)\"\n"},
      {"R\"12345678901234567(a\n)12345678901234567\"\n", "R\"12345678901234567(a\n)12345678901234567\"\n"},
      {"R\"ab$(x\n)\"\nd\n", "R\"ab$(x\n)\"\n|d\n"},
      {"R\"1234567890123456(a\n)1234567890123456\"\n", "R\"1234567890123456(a\n)1234567890123456\"\n"},
      {"R\"(a\n", "R\"(a\n+"},
      {"R\"x(a)\"\n)x", "R\"x(a)\"\n)x+"},
  };
  for (const Case& c : cases) EXPECT_EQ(split(c.text), c.lines) << c.text;
  const ScopedLexingDialect c99(*find_dialect("c99", false));
  EXPECT_EQ(split("R\"(a\n)\"\n"), "R\"(a\n|)\"\n");
}

// A literal that its line ends before it closes is flagged, for the rare
// path that reports it; closed ones, and quotes in comments, are not.
TEST(LogicalLines, FlagLiteralsLeftOpen) {
  const struct {
    const char* text;
    bool open;
  } cases[] = {
      {"a = 'b';\n", false},   {"a = \"b\\\"\";\n", false},
      {"// it's\n", false},    {"/* it's\n */ x\n", false},
      {"#define A '\n", true}, {"don't\n", true},
      {"s = \"a\\\n\n", true}, {"s = \"a\\\nb\";\n", false},
      {"x = 'a\r\n", true},    {"'", true},
      {"R\"(a)\" '\n", true},
  };
  for (const auto& c : cases) EXPECT_EQ(scan_logical_line(c.text, 0).open_literal(), c.open) << c.text;
}

TEST(LogicalLines, TellDirectives) {
  const Case cases[] = {
      {"#define A\n", "##define A\n"},
      {"  \t# if\n", "#  \t# if\n"},
      {"/* c */ # x\n", "#/* c */ # x\n"},
      {"/* a\n b */ #x\n", "#/* a\n b */ #x\n"},
      {"%:define A\n", "#%:define A\n"},
      {"\\\n#x\n", "#\\\n#x\n"},
      {"// #x\n", "// #x\n"},
      {"x #y\n", "x #y\n"},
      {"%x\n", "%x\n"},
      {"/* #x */\n", "/* #x */\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(split(c.text), c.lines) << c.text;
  // ISO C90 has no digraphs; C94 and GNU C90 have.
  const ScopedLexingDialect c90(*find_dialect("c90", false));
  EXPECT_EQ(split("%:define A\n#x\n"), "%:define A\n|##x\n");
  const ScopedLexingDialect gnu90(*find_dialect("gnu90", false));
  EXPECT_EQ(split("%:define A\n"), "#%:define A\n");
}

// Where comments are tokens, a line that begins with one is code, even a
// line of nothing else; one after the `#` leaves a directive.
TEST(LogicalLines, ACommentFirstMakesCodeWhereCommentsAreTokens) {
  Dialect dialect = *find_dialect("gnu17", false);
  dialect.comments_are_tokens = true;
  const ScopedLexingDialect keeping(dialect);
  EXPECT_EQ(split("/**/#define A\n"), "/**/#define A\n");
  EXPECT_EQ(split("/* a\n b */ #x\n"), "/* a\n b */ #x\n");
  EXPECT_EQ(split("// c\n", true), "// c\n");
  EXPECT_EQ(split("# /**/ define A\n"), "## /**/ define A\n");
  EXPECT_EQ(split("\t#x\n/ #y\n", true), "#\t#x\n|/ #y\n");
}

// ISO C90 reads `//` as two divisions in a directive, in a group not taken
// and before a `*`; what follows is read on, a block comment it opens too.
// A line that holds a `//` is marked.
TEST(LogicalLines, ReadSlashesAsIsoC90Does) {
  const ScopedLexingDialect c90(*find_dialect("c90", false));
  EXPECT_EQ(split("#define F // x /* y\nz */ w\nF\n"), "##define F // x /* y\nz */ w\n|F\n");
  EXPECT_EQ(split("a //**/ b\nc\n"), "a //**/ b\n|c\n");
  EXPECT_EQ(split("a // /* b\nc */\n"), "a // /* b\n|c */\n");
  EXPECT_EQ(split("// /*\n#x\n"), "// /*\n|##x\n");
  EXPECT_TRUE(scan_logical_line("a // b\n", 0).c90_slashes());
  EXPECT_TRUE(scan_logical_line("#if 1 // b\n", 0).c90_slashes());
  EXPECT_FALSE(scan_logical_line("a / / b /* // */\n", 0).c90_slashes());
  reading_group_not_taken = true;
  EXPECT_EQ(split("// /*\n#else\n// */\nx\n"), "// /*\n#else\n// */\n|x\n");
  EXPECT_EQ(split("#if 0 // /*\n#endif */\n"), "##if 0 // /*\n#endif */\n");
  reading_group_not_taken = false;
  const ScopedLexingDialect c99(*find_dialect("c99", false));
  EXPECT_EQ(split("#define F // x /* y\nz */ w\n"), "##define F // x /* y\n|z */ w\n");
  EXPECT_FALSE(scan_logical_line("a // b\n", 0).c90_slashes());
}

// C90 errs at the first `//` comment of a line, outside literals and block
// comments; there a `//` that a `*` follows is a division.
TEST(LineCommentStart, FindsTheFirstLineCommentOutsideLiteralsAndComments) {
  const std::pair<std::string_view, std::size_t> cases[] = {
      {"a // b", 2},
      {"\"//\" '/' /* // */ x", std::string_view::npos},
      {"'\\'' \"\\\"//\" / / x /\\\n/ y", 18},
      {"a /* b */ // c // d", 10},
      {"a /", std::string_view::npos},
  };
  for (const auto& [line, start] : cases) {
    EXPECT_EQ(line_comment_start(line, false), start) << line;
    EXPECT_EQ(line_comment_start(line, true), start) << line;
  }
  EXPECT_EQ(line_comment_start("1 //**/ 2 //*/ 3", false), 2U);
  EXPECT_EQ(line_comment_start("1 //**/ 2 //*/ 3", true), std::string_view::npos);
  EXPECT_EQ(line_comment_start("1 //* a */ 2 // 3", true), 13U);
}

TEST(LogicalLines, TellBlankLinesAndCountLongComments) {
  const Case cases[] = {
      {"\n \t\f\v\r\n", "_\n|_ \t\f\v\r\n"},
      {"/* c */\n// c\n/\\\n/ c\nx\n", "_/* c */\n|_// c\n|_/\\\n/ c\n|x\n"},
      {"/ x\n/\n", "/ x\n|/\n"},
      {"/", "/+"},
      {"/*", "_/*+*"},
      {"\\\n\\\r\n\n", "_\\\n\\\r\n\n"},
      // Comments longer than one 16-byte block, newlines on both sides of
      // each block edge.
      {"/* 456789012345\n\n890123456789012\n4567890 */ #d\n",
       "#/* 456789012345\n\n890123456789012\n4567890 */ #d\n"},
      {"x /*\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n*/ y\n", "x /*\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n*/ y\n"},
      {"/* 4567890123456789012345678901234567890\n", "_/* 4567890123456789012345678901234567890\n+*"},
  };
  for (const Case& c : cases) EXPECT_EQ(split(c.text, true), c.lines) << c.text;
}

TEST(LogicalLines, CountTheNewlinesOfEveryLengthOfComment) {
  // The newlines of a comment are counted 16 bytes at a time, and the last
  // bytes in a block that ends with them: comments of each length, at each
  // distance from the start of the text, with newlines at both ends.
  for (std::size_t before = 0; before < 20; ++before) {
    for (std::size_t length = 0; length < 40; ++length) {
      std::string body(length, 'c');
      if (length > 0) body.front() = body.back() = '\n';
      if (length > 2) body[length / 2] = '\n';
      const std::string text = std::string(before, ' ') + "/*" + body + "*/ x\ny\n";
      const std::string lines = std::string(before, ' ') + "/*" + body + "*/ x\n|y\n";
      EXPECT_EQ(split(text), lines) << before << " " << length;
    }
  }
}

TEST(LogicalLines, ReadPlainDirectiveNamesOnly) {
  const Case cases[] = {
      {"#if x\n", "if"},
      {"  #\tifdef X\n", "ifdef"},
      {"#endif\n", "endif"},
      {"#endif", "endif"},
      {"#else/**/\n", "else"},
      {"#if(1)\n", "if"},
      {"#_x\n", "_x"},
      {"#Zz9 \n", "Zz9"},
      {"#el\\\nse\n", ""},
      {"#\\\nif\n", ""},
      {"# 33 \"f\"\n", ""},
      {"/**/#if 1\n", ""},
      {"#/**/if 1\n", ""},
      {"%:if 1\n", ""},
      {"#if$x\n", ""},
      {"#if\xc3\xa9\n", ""},
      {"#\n", ""},
      {"#", ""},
      {"\f#if\n", ""},
      {"#\vif\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(plain_directive_name(c.text), c.lines) << c.text;
}

// "=" + the operand, "none" when there is no operand, "lexer" when the text
// has to be lexed.
std::string operand_of(std::string_view rest) {
  const std::optional<std::string_view> operand = plain_directive_operand(rest);
  if (!operand) return "lexer";
  return operand->empty() ? "none" : "=" + std::string(*operand);
}

TEST(PlainDirectiveOperand, ReadsOneNameAmongBlanksAndComments) {
  const Case cases[] = {
      {"\n", "none"},
      {"", "none"},
      {" \t\f\v\r\n", "none"},
      {" /* a\n b */ // c\n", "none"},
      {" X\n", "=X"},
      {"/**/_x9/**/\n", "=_x9"},
      {" X // y\n", "=X"},
      {" X\r\n", "=X"},
      {" X", "=X"},
      {" X Y\n", "lexer"},
      {" 1\n", "lexer"},
      {" X$\n", "lexer"},
      {" X\xc3\xa9\n", "lexer"},
      {" \xc3\xa9\n", "lexer"},
      {" u8\"x\"\n", "lexer"},
      {" L'x'\n", "lexer"},
      {" X\\\nY\n", "lexer"},
      {" X /* a \\ */\n", "lexer"},
      {" X /* a *\\\n/\n", "lexer"},
      {" X // a \\\n b\n", "=X"},
      {" // a \\\n b\n", "none"},
      {" X /* open\n", "lexer"},
      {" X /* open *", "lexer"},
      {" X /*", "lexer"},
      {" X /*/", "lexer"},
      {" X /**/", "=X"},
      {" X /\n", "lexer"},
      {" (X)\n", "lexer"},
      {" X+\n", "lexer"},
  };
  for (const Case& c : cases) EXPECT_EQ(operand_of(c.text), c.lines) << c.text;
}

// The header name, or "lexer" when the text has to be lexed.
std::string header_of(std::string_view rest) {
  const std::optional<std::string_view> header = plain_header_name(rest);
  return header ? std::string(*header) : "lexer";
}

TEST(PlainHeaderName, ReadsANameOfPlainBytesAlone) {
  const Case cases[] = {
      {" <stdio.h>\n", "<stdio.h>"},
      {"\t\"a/b-c+d_9.h\"\n", "\"a/b-c+d_9.h\""},
      {"<bits/libc-header-start.h> /* c */ // d\n", "<bits/libc-header-start.h>"},
      {" <x.h>", "<x.h>"},
      {" <x.h>/**/", "<x.h>"},
      {" \"x.h\" \\\n", "lexer"},
      // Bytes the lexer reads otherwise, inside and around the name.
      {" <x .h>\n", "lexer"},
      {" <x\\\n.h>\n", "lexer"},
      {" <a//b.h>\n", "lexer"},
      {" </x.h>\n", "</x.h>"},
      {" <x/*.h>\n", "lexer"},
      {" <x->\n", "lexer"},
      {" <x-.h>\n", "<x-.h>"},
      {" \"x-\"\n", "\"x-\""},
      {" <x$.h>\n", "lexer"},
      {" <x\xc3\xa9.h>\n", "lexer"},
      {" <x\">\n", "lexer"},
      {" \"x>\"\n", "lexer"},
      {" <x.h\"\n", "lexer"},
      {" <>\n", "lexer"},
      {" \"\"\n", "lexer"},
      {" <x.h\n", "lexer"},
      {" <x.h", "lexer"},
      {" <x.h>>\n", "lexer"},
      {" <x.h>=\n", "lexer"},
      {" <x.h> y\n", "lexer"},
      {" <x.h> /* open\n", "lexer"},
      {" \f<x.h>\n", "lexer"},
      {" X\n", "lexer"},
      {" u8\"x\"\n", "lexer"},
      {"", "lexer"},
  };
  for (const Case& c : cases) EXPECT_EQ(header_of(c.text), c.lines) << c.text;
}

// Every reader steps over block comments by this one function.
TEST(BlockCommentEnd, EndsAfterTheFirstStarSlashSplicesIncluded) {
  const auto end = [](std::string_view text) {
    return block_comment_end(text, 2);
  };
  EXPECT_EQ(end("/**/x"), 4U);
  EXPECT_EQ(end("/* a **/x"), 8U);
  EXPECT_EQ(end("/* * / */x"), 9U);
  EXPECT_EQ(end("/* *\\\n/x"), 7U);
  EXPECT_EQ(end("/* *\\\r\n\\\n/x"), 10U);
  EXPECT_EQ(end("/* *\\ \n/ */"), 8U);
  EXPECT_EQ(end("/* *\\ x\n/ */"), 12U);
  EXPECT_EQ(end("/* a *"), std::string_view::npos);
  EXPECT_EQ(end("/* a *\\\n"), std::string_view::npos);
  EXPECT_EQ(end("/*"), std::string_view::npos);
}

// Every reader steps over string literals and character constants by this
// one function. The text shown is what it steps over after the quote, "|"
// and the byte it stops at ("$" for the end of the text), then the splices.
std::string literal_of(std::string_view text) {
  std::uint32_t spliced = 0;
  const std::size_t end = quoted_literal_end(text, 0, spliced);
  std::string out(text.substr(1, end - 1));
  out += '|';
  out += end == text.size() ? std::string("$") : std::string(1, text[end]);
  return out + std::to_string(spliced);
}

TEST(QuotedLiteralEnd, ClosesAtTheFirstQuoteNoBackslashEscapes) {
  const Case cases[] = {
      {"\"ab\" \"", "ab|\"0"},
      {"'a' '", "a|'0"},
      {"\"it's\"", "it's|\"0"},
      {"'\"'", "\"|'0"},
      {"\"a\\\"b\"", "a\\\"b|\"0"},
      // A backslash that another escapes escapes nothing.
      {"\"a\\\\\"b\"", "a\\\\|\"0"},
      {"\"a\\\\\\\"\"", "a\\\\\\\"|\"0"},
      // Splices, also between a backslash and the byte it escapes.
      {"\"a\\\nb\"", "a\\\nb|\"1"},
      {"\"a\\\r\nb\"", "a\\\r\nb|\"1"},
      {"\"a\\\\\n\"b\"", "a\\\\\n\"b|\"1"},
      {"\"a\\\\\r\n\\\n\"b\"", "a\\\\\r\n\\\n\"b|\"2"},
      {"\"a\\\\\\\n\"", "a\\\\\\\n|\"1"},
      {"\"\\\n\"", "\\\n|\"1"},
      // A lone CR is a byte of the literal.
      {"\"a\rb\"", "a\rb|\"0"},
  };
  for (const Case& c : cases) EXPECT_EQ(literal_of(c.text), c.lines) << c.text;
}

TEST(QuotedLiteralEnd, AnUnterminatedLiteralEndsAtItsLineEnd) {
  const Case cases[] = {
      {"\"ab\nc\"", "ab|\n0"},
      {"\"ab\r\nc\"", "ab|\r0"},
      {"\"\n\"", "|\n0"},
      {"'\r\n'", "|\r0"},
      // An escaped line end ends the line all the same.
      {"\"a\\\\\n\n\"", "a\\\\\n|\n1"},
      {"\"a\\\\\n\r\n\"", "a\\\\\n|\r1"},
      {"\"a\\\r\r\n\"", "a\\\r|\r0"},
      // The end of the text, after a backslash or a splice too.
      {"\"ab", "ab|$0"},
      {"\"ab\\", "ab\\|$0"},
      {"\"ab\\\r", "ab\\\r|$0"},
      {"\"ab\\\n", "ab\\\n|$1"},
      {"\"ab\\\\\n", "ab\\\\\n|$1"},
      {"\"", "|$0"},
  };
  for (const Case& c : cases) EXPECT_EQ(literal_of(c.text), c.lines) << c.text;
}

// Each stop at every place in and around a block of 16 bytes, with and
// without more text after the literal.
TEST(QuotedLiteralEnd, FindsEachStopAtEveryPlace) {
  for (std::size_t n = 0; n < 40; ++n) {
    const std::string run(n, 'x');
    for (const std::string tail : {"", "yyyyyyyyyyyyyyyyyyyyyyyyyyyyyy"}) {
      EXPECT_EQ(literal_of("\"" + run + "\"" + tail), run + "|\"0") << n;
      EXPECT_EQ(literal_of("\"" + run + "'" + tail), run + "'" + tail + "|$0") << n;
      EXPECT_EQ(literal_of("\"" + run + "\n" + tail), run + "|\n0") << n;
      EXPECT_EQ(literal_of("\"" + run + "\r\n" + tail), run + "|\r0") << n;
      EXPECT_EQ(literal_of("\"" + run + "\\\"z\"" + tail), run + "\\\"z|\"0") << n;
      EXPECT_EQ(literal_of("\"" + run + "\\\nz\"" + tail), run + "\\\nz|\"1") << n;
    }
  }
}

TEST(LineCommentEnd, EndsAtTheFirstNewlineNoSpliceMakes) {
  const auto end = [](std::string_view text, std::uint32_t expected_spliced) {
    std::uint32_t spliced = 0;
    const std::size_t at = line_comment_end(text, 2, spliced);
    EXPECT_EQ(spliced, expected_spliced) << text;
    return at;
  };
  EXPECT_EQ(end("//\nx", 0), 2U);
  EXPECT_EQ(end("// a\nx\n", 0), 4U);
  EXPECT_EQ(end("// a\\\nb\n", 1), 7U);
  EXPECT_EQ(end("// a\\\r\nb\\\n\n", 2), 10U);
  EXPECT_EQ(end("// a\r\n", 0), 5U);
  EXPECT_EQ(end("// a\\ \n", 1), 7U);
  EXPECT_EQ(end("// a\\\t \r\nb\n", 1), 10U);
  EXPECT_EQ(end("// a\\ b\n", 0), 7U);
  EXPECT_EQ(end("// a", 0), 4U);
  EXPECT_EQ(end("// a\\\n", 1), 6U);
}

}  // namespace
}  // namespace sornik::cmode
