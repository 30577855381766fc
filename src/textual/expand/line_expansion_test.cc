// Tests of one expansion pass (edit_line): the scan of ibuf that writes each use of a
// defined name into obuf as a marker group.
#include "textual/expand/line_expansion.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "captured_io.h"
#include "common/fatal.h"
#include "lead_byte_edges.h"
#include "marked_text.h"
#include "textual/defines/define_table.h"
#include "textual/expand/line_passes.h"
#include "textual/replace/replace_engine.h"
#include "textual/scan/line_buffers.h"
#include "textual/scan/source_scanner.h"

namespace sornik {
namespace {

using testing::marked;

class EditLine : public ::testing::Test {
 protected:
  // Made anew for a test's next run; the passes keep looking names up in it.
  std::optional<DefineTable> table_{std::in_place};
  SourceScanner scanner_;
  LineBuffers buffers_;
  ArgumentSubstitution substitution_;
  LineExpansion expansion_{*table_, scanner_, buffers_, substitution_};
  std::string& ibuf = buffers_.ibuf;
  std::string& obuf = buffers_.obuf;
  // The scan state of the passes, under the names the passes give it.
  int& comm_flag = expansion_.state.comm_flag;
  int& str_flag = expansion_.state.str_flag;
  int& print_f = expansion_.state.print_f;

  ~EditLine() override {
    if (file_ != nullptr) std::fclose(file_);
  }

  void define(std::string_view name, std::string_view body) { add(name, std::nullopt, body); }
  void define_call(std::string_view name, std::string_view params, std::string_view body) {
    add(name, params, body);
  }

  // Puts `line` into ibuf, with `rest` as the lines after it in the file.
  void read(std::string_view line, std::string_view rest) {
    table_->sort_defines();
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::tmpfile();
    std::fwrite(rest.data(), 1, rest.size(), file_);
    std::rewind(file_);
    reader_.emplace(file_);
    ibuf.assign(line);
  }

  // The first pass over `line`, with `rest` as the lines after it in the file.
  int first_pass(std::string_view line, std::string_view rest = "") {
    read(line, rest);
    return expansion_.edit_line(&*reader_);
  }

  // The passes the run loop makes over a line; obuf after the last one.
  std::string expand(std::string_view line, std::string_view rest = "") {
    read(line, rest);
    run_line_passes(expansion_, *reader_);
    return obuf;
  }

  std::string next_line_of_file() {
    std::string line;
    return reader_->read_line(line) ? line : "(end of file)";
  }

 private:
  void add(std::string_view name, std::optional<std::string_view> params, std::string_view body) {
    DefineEntry& entry = table_->add_define_record();
    table_->keep_name(entry, name, params);
    table_->keep_body(entry, body);
  }

  std::FILE* file_ = nullptr;
  std::optional<LineReader> reader_;
};

TEST_F(EditLine, ObjectLikeUseBecomesAGroup) {
  define("MAX_LEN", "256");
  EXPECT_EQ(first_pass("char buf[MAX_LEN];\n"), 1);
  EXPECT_EQ(obuf, marked("char buf[{3}MAX_LEN{1}256{2}];\n"));
}

TEST_F(EditLine, LineWithoutUsesIsKeptByteForByte) {
  define("MAX", "1");
  const std::string line = std::string("int y; /* MAX */ \"MAX\" 'M' MAXI \x01\x02\x03\x04\0 x\n", 36);
  EXPECT_EQ(first_pass(line), 0);
  EXPECT_EQ(obuf, line);
}

TEST_F(EditLine, NamesAreLookedUpOnlyInCode) {
  define("x", "1");
  define("y", "2");
  define("L", "wide");
  define("x1F", "wrong");
  define("10", "ten");
  const struct {
    const char* line;
    const char* expected;
  } cases[] = {
      {"x/*y*/\n", "{3}x{1}1{2}/*y*/\n"},
      {"L\"x\"\n", "{3}L{1}wide{2}\"x\"\n"},
      {"0x1F 10;\n", "0x1F {3}10{1}ten{2};\n"},
      {"#if x\n", "#if x\n"},
      {" #if x\n", " #if {3}x{1}1{2}\n"},
      {"'x' \"y\" // x\n", "'x' \"y\" // x\n"},
      {"a = 'x\\'y' + x;\n", "a = 'x\\'y' + {3}x{1}1{2};\n"},
      {"\"'\" x '\"' y\n", "\"'\" {3}x{1}1{2} '\"' {3}y{1}2{2}\n"},
      {"\"\x95\\\" x\n", "\"\x95\\\" {3}x{1}1{2}\n"},
      {"// x */ y\n", "// x */ {3}y{1}2{2}\n"},
  };
  for (const auto& c : cases) {
    first_pass(c.line);
    EXPECT_EQ(obuf, marked(c.expected)) << c.line;
    EXPECT_EQ(comm_flag, 0) << c.line;
    EXPECT_EQ(str_flag, 0) << c.line;
    EXPECT_EQ(print_f, 1) << c.line;
  }
}

TEST_F(EditLine, LeadByteRangeEdges) {
  define("x", "1");
  define("V", "V");
  for (const testing::EdgeByte& edge : testing::kLeadByteEdges) {
    // After a lead byte the backslash is its second byte and the quote closes the literal.
    const std::string literal = "\"" + edge.text() + "\\\"";
    first_pass(literal + " x\n");
    EXPECT_EQ(obuf, edge.lead ? literal + marked(" {3}x{1}1{2}\n") : literal + " x\n") << edge;
    EXPECT_EQ(str_flag, edge.lead ? 0 : '"') << edge;
    str_flag = 0;
    print_f = 1;

    // The same holds in the re-scan of an expansion.
    table_.emplace();
    define("x", "1");
    define("V", literal + " x");
    const std::string nested = edge.lead ? literal + marked(" {3}x{1}1{2}") : literal + " x";
    EXPECT_EQ(expand("V\n"), marked("{3}V{1}") + nested + marked("{2}\n")) << edge;

    // Outside literals every byte is looked at by itself: a comment ends after any of them.
    first_pass("/*" + edge.text() + "*/ x\n");
    EXPECT_EQ(obuf, "/*" + edge.text() + marked("*/ {3}x{1}1{2}\n")) << edge;
  }
}

TEST_F(EditLine, CommentsAndLiteralsCarryOverToLaterLines) {
  define("x", "1");
  EXPECT_EQ(first_pass("a /* x\n"), 0);
  EXPECT_EQ(comm_flag, 1);
  EXPECT_EQ(first_pass("x // x\n"), 0);
  EXPECT_EQ(first_pass("*/ x\n"), 1);
  EXPECT_EQ(obuf, marked("*/ {3}x{1}1{2}\n"));

  EXPECT_EQ(first_pass("#error don't x\n"), 0);
  EXPECT_EQ(str_flag, '\'');
  EXPECT_EQ(first_pass("x\n"), 0);
  EXPECT_EQ(first_pass("' x\n"), 1);

  // A "//" line inside a block comment leaves the comment open.
  first_pass("/* a\n");
  first_pass("// b\n");
  EXPECT_EQ(comm_flag, 1);
  EXPECT_EQ(print_f, 0);
}

TEST_F(EditLine, FunctionLikeUseWithAnyOpeningBracket) {
  define_call("TWICE", "v", "((v)+(v))");
  define_call("F", "a", "<a>");
  EXPECT_EQ(first_pass("y = TWICE(n);\n"), 1);
  EXPECT_EQ(obuf, marked("y = {3}TWICE(n){1}((n)+(n)){2};\n"));
  first_pass("F[1] F{7} F<3> F(\")\")\n");
  EXPECT_EQ(obuf, marked("{3}F[1]{1}<1>{2} {3}F{7}{1}<7>{2} {3}F<3>{1}<3>{2} {3}F(\")\"){1}<\")\">{2}\n"));
}

TEST_F(EditLine, FunctionLikeNameWithoutListIsCopied) {
  define_call("TWICE", "v", "((v)+(v))");
  const std::string line = "p = TWICE; q = TWICE (1); TWICE";
  EXPECT_EQ(first_pass(line), 0);
  EXPECT_EQ(obuf, line);
}

TEST_F(EditLine, ArgumentListOverSeveralLinesIsOneText) {
  define_call("TWICE", "v", "((v)+(v))");
  EXPECT_EQ(first_pass("y = TWICE(x -\n", "  1);\nnext\n"), 1);
  EXPECT_EQ(obuf, marked("y = {3}TWICE(x -\n  1){1}((x -\n  1)+(x -\n  1)){2};\n"));
  EXPECT_EQ(next_line_of_file(), "next\n");
}

TEST_F(EditLine, RescansNestGroupsThreeLevelsDeep) {
  define_call("TWICE", "v", "((v)+(v))");
  define("N", "10");
  EXPECT_EQ(expand("y = TWICE(N);\n"), marked("y = {3}TWICE(N){1}(({3}N{1}10{2})+({3}N{1}10{2})){2};\n"));

  define("A", "B");
  define("B", "C + N");
  define("C", "D");
  EXPECT_EQ(expand("A\n"), marked("{3}A{1}{3}B{1}{3}C{1}D{2} + {3}N{1}10{2}{2}{2}\n"));
}

TEST_F(EditLine, RescanOutcomeIsReusedOnlyFromTheSameState) {
  define("x", "1");
  first_pass("x\n");
  ibuf = "/* x\n";
  EXPECT_EQ(expansion_.edit_line(nullptr), 0);
  EXPECT_EQ(comm_flag, 1);
  ibuf = "/* x\n";
  comm_flag = 0;
  print_f = 1;
  EXPECT_EQ(expansion_.edit_line(nullptr), 0);
  EXPECT_EQ(comm_flag, 1);
  ibuf = "/* x\n";
  comm_flag = 0;
  str_flag = '"';
  print_f = 0;
  EXPECT_EQ(expansion_.edit_line(nullptr), 0);
  EXPECT_EQ(obuf, "/* x\n");
  EXPECT_EQ(comm_flag, 0);
  EXPECT_EQ(str_flag, '"');
}

TEST_F(EditLine, ListOpenInsideAnExpansionIsNoCall) {
  define_call("F", "a", "<a>");
  define("OPEN", "F(");
  define("CALL", "F(1) F(");
  EXPECT_EQ(expand("OPEN x)\n"), marked("{3}OPEN{1}F({2} x)\n"));
  EXPECT_EQ(expand("CALL 2)\n"), marked("{3}CALL{1}{3}F(1){1}<1>{2} F({2} 2)\n"));
}

// In a re-scan a list closes before the next mark. Brackets alone decide
// where, until a quote or a slash needs the scanner's rules for literals and
// comments; escaped arguments are handed over unescaped.
TEST_F(EditLine, RescannedListsCloseByBracketsLiteralsAndComments) {
  define_call("F", "a", "<a>");
  define_call("G", "a, b", "<a|b>");
  define("V1", "F[1]");
  define("V2", "G((1), (2))");
  define("V3", "F(\")\")");
  define("V4", "F(1/2)");
  define("V5", "F(/* ) */ 1)");
  define("V6", marked("F({1})"));
  define("V7", "F(1]");
  define("V8", "F(\")");
  const struct {
    const char* line;
    const char* expected;
  } cases[] = {
      {"V1\n", "{3}V1{1}{3}F[1]{1}<1>{2}{2}\n"},
      {"V2\n", "{3}V2{1}{3}G((1), (2)){1}<(1)|(2)>{2}{2}\n"},
      {"V3\n", "{3}V3{1}{3}F(\")\"){1}<\")\">{2}{2}\n"},
      {"V4\n", "{3}V4{1}{3}F(1/2){1}<1/2>{2}{2}\n"},
      {"V5\n", "{3}V5{1}{3}F(/* ) */ 1){1}</* ) */ 1>{2}{2}\n"},
      {"V6\n", "{3}V6{1}{3}F({4}{1}){1}<{4}{1}>{2}{2}\n"},
      {"V7\n", "{3}V7{1}F(1]{2}\n"},
      {"V8\n", "{3}V8{1}F(\"){2}\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(expand(c.line), marked(c.expected)) << c.line;

  // The same lists in a source line, where the list is escaped on its way out.
  const struct {
    const char* line;
    const char* expected;
  } source_cases[] = {
      {"F[1]\n", "{3}F[1]{1}<1>{2}\n"},
      {"G((1), (2))\n", "{3}G((1), (2)){1}<(1)|(2)>{2}\n"},
      {"F(\")\")\n", "{3}F(\")\"){1}<\")\">{2}\n"},
      {"F(1/2)\n", "{3}F(1/2){1}<1/2>{2}\n"},
      {"F(/* ) */ 1)\n", "{3}F(/* ) */ 1){1}</* ) */ 1>{2}\n"},
      {"F(\x01)\n", "{3}F({4}{1}){1}<{4}{1}>{2}\n"},
  };
  for (const auto& c : source_cases) EXPECT_EQ(expand(c.line), marked(c.expected)) << c.line;
}

TEST_F(EditLine, LineClosingACommentExpandsOnlyAfterIt) {
  define("a", "1");
  define("b", "2");
  define("FOO", "3");
  comm_flag = 1;
  print_f = 0;
  EXPECT_EQ(expand("a b */ x = FOO;\n"), marked("a b */ x = {3}FOO{1}3{2};\n"));
}

TEST_F(EditLine, OpenedLiteralNeverReachesIntoANameText) {
  // Q's value opens a literal in the re-scans; the quote inside F's name text
  // must not close it there, only the one in F's expansion text.
  define("Q", "\"");
  define("y", "2");
  define_call("F", "a", "a");
  EXPECT_EQ(expand("Q \\F(\") y\")\n"), marked("{3}Q{1}\"{2} \\{3}F(\") y\"){1}\") {3}y{1}2{2}\"{2}\n"));
}

TEST_F(EditLine, UsesThatCannotDevelopEndTheRun) {
  define("EMPTY", "");
  define_call("TWICE", "v", "((v)+(v))");
  const char* lines[] = {"x = EMPTY;\n", "x = TWICE(1,\n", "x = TWICE(1, 2);\n"};
  for (const char* line : lines) {
    testing::CapturedIo io;
    EXPECT_THROW(first_pass(line), FatalStop) << line;
    EXPECT_EQ(io.err(), "cannot develop, so exit!\n") << line;
  }
}

TEST_F(EditLine, MarkBytesFromOutsideAreEscaped) {
  define("V",
         "a\x01"
         "b");
  define("G", "F(\x02)");
  define_call("F", "a", "<a>");
  EXPECT_EQ(expand("\x03V\x04\n"), marked("{4}{3}{3}V{1}a{4}{1}b{2}{4}{4}\n"));
  EXPECT_EQ(expand("G F(\x01)\n"),
            marked("{3}G{1}{3}F({4}{2}){1}<{4}{2}>{2}{2} {3}F({4}{1}){1}<{4}{1}>{2}\n"));
}

TEST_F(EditLine, NulBytesAreCopiedThrough) {
  define("x", "1");
  EXPECT_EQ(expand(std::string("a\0x\0\n", 5)), marked(std::string("a\0{3}x{1}1{2}\0\n", 15)));
}

TEST_F(EditLine, LongOutputLinesAreKeptWhole) {
  define("W", std::string(50, 'w'));
  std::string line;
  for (int use = 0; use < 200; ++use) line += "W ";
  EXPECT_EQ(first_pass(line + "\n"), 1);
  EXPECT_EQ(obuf.size(), 200 * 55 + 1u);
}

}  // namespace
}  // namespace sornik
