// Tests of finding and converting trigraphs, the lines that hold them, and the ones warned of.
#include "cmode/lex/trigraphs.h"

#include <gtest/gtest.h>
#include <string>

#include "cmode/lex/dialect.h"
#include "cmode/lex/token.h"

namespace sornik::cmode {
namespace {

TEST(Trigraphs, AreTheNineSpellingsOfTwoQuestionMarksAndAByte) {
  EXPECT_EQ(find_trigraph("a ?\?= b", 0), 2U);
  // A `?` before a trigraph is a byte of its own; `??` alone or before
  // another byte is no trigraph, nor is one that a splice parts.
  EXPECT_EQ(find_trigraph("?\?\?=", 0), 1U);
  EXPECT_EQ(find_trigraph("?\? ?\?x ?\\\n?= ?\?", 0), std::string_view::npos);
  EXPECT_EQ(find_trigraph("?\?-", 1), std::string_view::npos);
  EXPECT_EQ(find_trigraph("x?\?-", 1), 1U);
  ConvertedText text;
  text.convert("?\?=?\?/?\?'?\?(?\?)?\?!?\?<?\?>?\?-");
  EXPECT_EQ(text.text(), "#\\^[]|{}~");
  for (const char meaning : text.text()) EXPECT_EQ(trigraph_meaning(trigraph_third(meaning)), meaning);
  EXPECT_EQ(trigraph_third('a'), 0);
  EXPECT_EQ(trigraph_meaning('?'), 0);
}

// Positions of the converted text map back to the bytes as written: a
// token's end after a trigraph to the end of its three bytes.
TEST(Trigraphs, ConvertedPositionsMapBackToTheBytesAsWritten) {
  ConvertedText text;
  text.convert("a?\?(b?\?)c");
  EXPECT_EQ(text.text(), "a[b]c");
  ASSERT_EQ(text.trigraphs().size(), 2U);
  EXPECT_EQ(text.trigraphs()[0], 1U);
  EXPECT_EQ(text.trigraphs()[1], 3U);
  EXPECT_EQ(text.physical(0), 0U);
  EXPECT_EQ(text.physical(1), 1U);  // the trigraph's first byte
  EXPECT_EQ(text.physical(2), 4U);  // after it
  EXPECT_EQ(text.physical(3), 5U);
  EXPECT_EQ(text.physical(4), 8U);
  EXPECT_EQ(text.physical(5), 9U);
  text.append("?\?=");
  EXPECT_EQ(text.text(), "a[b]c#");
  EXPECT_EQ(text.physical(6), 12U);
}

// Lexing converted text: spellings converted, places as written; `??=??=`
// is one `##`, and a string keeps its converted bytes.
TEST(Trigraphs, TheLexerReadsConvertedTextAtThePlacesAsWritten) {
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex_converting("a ?\?=?\?= \"?\?(\" ?\?/\nb?\?'=c\n", tokens);
  ASSERT_EQ(tokens.size(), 6U);
  EXPECT_EQ(tokens[1].text, "##");
  EXPECT_EQ(tokens[1].begin, 2U);
  EXPECT_EQ(tokens[1].end, 8U);
  EXPECT_EQ(tokens[2].text, "\"[\"");
  EXPECT_EQ(tokens[2].begin, 9U);
  EXPECT_EQ(tokens[2].end, 14U);
  EXPECT_EQ(tokens[3].text, "b");
  EXPECT_EQ(tokens[3].begin, 19U);
  EXPECT_EQ(tokens[4].text, "^=");
  EXPECT_EQ(tokens[4].end, 24U);
  EXPECT_EQ(tokens[5].begin, 24U);
  lexer.lex_converting("x ?\? y", tokens);
  ASSERT_EQ(tokens.size(), 4U);
  EXPECT_EQ(tokens[3].begin, 5U);
}

// A raw string is read as written: its trigraphs stay, ??/ before a newline
// splices nothing, and ??) closes nothing, so that the literal may end
// elsewhere than its converted text would; what follows is converted again,
// a later raw string read as written in turn. Positions stay those written.
TEST(Trigraphs, TheLexerReadsRawStringsAsWritten) {
  const ScopedLexingDialect cxx11(*find_dialect("c++11", true));
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex_converting("?\?= R\"(?\?=?\?/\n)\" \"?\?=\"\n", tokens);
  ASSERT_EQ(tokens.size(), 3U);
  EXPECT_EQ(tokens[0].text, "#");
  EXPECT_EQ(tokens[1].text, "R\"(?\?=?\?/\n)\"");
  EXPECT_EQ(tokens[1].begin, 4U);
  EXPECT_EQ(tokens[1].end, 16U);
  EXPECT_EQ(tokens[2].text, "\"#\"");
  EXPECT_EQ(tokens[2].begin, 17U);
  // Converted, ??) would close the literal at the second `)"`.
  lexer.lex_converting("u8R\"x(a?\?)x\" ?\?( R\"(?\?))\" )\";\n", tokens);
  ASSERT_EQ(tokens.size(), 5U);
  EXPECT_EQ(tokens[0].text, "u8R\"x(a?\?)x\"");
  EXPECT_EQ(tokens[1].text, "[");
  EXPECT_EQ(tokens[1].begin, 13U);
  EXPECT_EQ(tokens[2].text, "R\"(?\?))\"");
  EXPECT_EQ(tokens[2].end, 25U);
  EXPECT_EQ(tokens[3].text, ")");
  EXPECT_EQ(tokens[4].text, "\";");
  // A splice in the prefix changes nothing.
  lexer.lex_converting("u8\\\nR\"x(?\?))x\"\n", tokens);
  ASSERT_EQ(tokens.size(), 1U);
  EXPECT_EQ(tokens[0].text, "u8R\"x(?\?))x\"");
  lexer.lex_converting("R\\\n\"(?\?=)\"\n", tokens);
  ASSERT_EQ(tokens.size(), 1U);
  EXPECT_EQ(tokens[0].text, "R\"(?\?=)\"");
  // Not a raw string where the dialect reads none.
  const ScopedLexingDialect cxx98(*find_dialect("c++98", true));
  lexer.lex_converting("R\"(?\?=)\"\n", tokens);
  ASSERT_EQ(tokens.size(), 2U);
  EXPECT_EQ(tokens[1].text, "\"(#)\"");
}

// The third byte of each trigraph warned of, "|" between lines.
std::string warned(std::string_view line, bool converting) {
  ConvertedText converted;
  if (converting) converted.convert(line);
  const std::string_view read = converting ? converted.text() : line;
  std::string out;
  for (const TrigraphNote& note : trigraphs_to_warn_of(read, converted.trigraphs(), converting)) {
    if (!out.empty()) out += ' ';
    out += std::to_string(note.at) + note.third;
  }
  return out;
}

// Outside comments every trigraph is warned of, literals too; in comments
// only ??/ where it splices.
TEST(Trigraphs, WarnedOfOutsideCommentsAndWhereACommentSplices) {
  EXPECT_EQ(warned("a?\?< \"?\?=\" /* ?\?) */ '?\?-'\n", false), "1< 6= 22-");
  EXPECT_EQ(warned("a?\?< \"?\?=\" /* ?\?) */ '?\?-'\n", true), "1< 4= 16-");
  EXPECT_EQ(warned("// ?\?/\nb\n", false), "3/");
  EXPECT_EQ(warned("// ?\?/\nb\n", true), "3/");
  EXPECT_EQ(warned("// ?\?/ \t\nb\n", false), "3/");
  EXPECT_EQ(warned("/* ?\?/\n*/\n", true), "3/");
  // ??/ before a splice, or before other bytes, makes none.
  EXPECT_EQ(warned("// ?\?/\\\nb\n", false), "");
  EXPECT_EQ(warned("// ?\?/\\\nb\n", true), "");
  EXPECT_EQ(warned("/* ?\?/ x\n*/\n", false), "");
  // A `/*` in a literal opens no comment.
  EXPECT_EQ(warned("\"/*\" ?\?= \"*/\"\n", false), "5=");
}

// In a raw string none is warned of, where the dialect reads raw strings.
TEST(Trigraphs, NotWarnedOfInRawStrings) {
  const ScopedLexingDialect gnu11(*find_dialect("gnu++11", true));
  EXPECT_EQ(warned("?\?= R\"(?\?=?\?/\n)\" ?\?=\n", false), "0= 17=");
  EXPECT_EQ(warned("R\"(?\?=)\" ?\?-\n", true), "7-");
  const ScopedLexingDialect gnu98(*find_dialect("gnu++98", true));
  EXPECT_EQ(warned("R\"(?\?=)\"\n", false), "3=");
}

// The lines of `text` as TrigraphLineScan finds them, "|" between them, a
// "#" before a directive and a "!" after a line that holds a trigraph.
std::string lines_of(std::string_view text) {
  TrigraphLineScan scan(true);
  std::string out;
  for (std::size_t pos = 0; pos < text.size();) {
    LogicalLine line = scan.scan(text, pos);
    // A reader may scan a line again before it takes it.
    const LogicalLine again = scan.scan(text, pos);
    EXPECT_EQ(again.end, line.end);
    EXPECT_EQ(again.marks, line.marks);
    EXPECT_EQ(again.kind, line.kind);
    const std::string_view bytes = text.substr(pos, line.end - pos);
    EXPECT_EQ(line.newlines, std::count(bytes.begin(), bytes.end(), '\n')) << bytes;
    if (!out.empty()) out += '|';
    if (line.kind == LineKind::directive) out += '#';
    out.append(bytes.substr(0, bytes.size() - (line.complete ? 1 : 0)));
    if (line.trigraphs()) out += '!';
    pos = line.end;
  }
  return out;
}

TEST(Trigraphs, ConvertedTrigraphsJoinAndMakeLines) {
  const ScopedLexingDialect c99(*find_dialect("c99", false));
  EXPECT_EQ(lines_of("?\?=define A ?\?/\n 1\nb\n"), "#?\?=define A ?\?/\n 1!|b");
  EXPECT_EQ(lines_of("/* ?\?/\n*?\?/\n/ a\nb\n"), "/* ?\?/\n*?\?/\n/ a!|b");
  EXPECT_EQ(lines_of("x // ?\?/\ny\n#z\n"), "x // ?\?/\ny!|##z");
  EXPECT_EQ(lines_of("'?\?/'' ?\?/\r\n'\n"), "'?\?/'' ?\?/\r\n'!");
  // A trigraph split by a splice is none.
  EXPECT_EQ(lines_of("a ?\\\n?/\nb\n"), "a ?\\\n?/|b");
  // A line that many splices carry on, and the text's end inside a line.
  EXPECT_EQ(lines_of("a?\?/\nb?\?/\nc?\?/\nd?\?/\ne\nf"), "a?\?/\nb?\?/\nc?\?/\nd?\?/\ne!|f");
  EXPECT_EQ(lines_of("/* ?\?/\n"), "/* ?\?/\n!");
}

TEST(Trigraphs, StayAsWrittenInGnuDialects) {
  const DiagnosticRules saved = diagnostic_rules();
  DiagnosticRules rules;
  default_trigraph_warnings(rules, lexing_dialect());
  set_diagnostic_rules(rules);
  EXPECT_EQ(lines_of("?\?=define A ?\?/\n 1\nb\n"), "?\?=define A ?\?/!| 1|b");
  EXPECT_EQ(lines_of("a ?\?\? ?\?x\n#b\n"), "a ?\?\? ?\?x|##b");
  // Nor in a file whose warnings are not shown.
  TrigraphLineScan hidden(false);
  EXPECT_FALSE(hidden.scan("?\?=define A\n", 0).trigraphs());
  // Where they are neither converted nor warned of, no line is marked.
  rules.warnings_on = 0;
  set_diagnostic_rules(rules);
  EXPECT_EQ(lines_of("?\?=define A\n"), "?\?=define A");
  set_diagnostic_rules(saved);
}

}  // namespace
}  // namespace sornik::cmode
