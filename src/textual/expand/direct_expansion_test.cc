// Tests of direct expansion: a line in plain code expanded once, recursively, straight
// into the default form, where that is provably what the passes would write.
#include "textual/expand/direct_expansion.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>

#include "captured_io.h"
#include "render/marker.h"
#include "textual/defines/define_table.h"
#include "textual/expand/line_expansion.h"
#include "textual/expand/line_passes.h"
#include "textual/replace/replace_engine.h"
#include "textual/scan/line_buffers.h"
#include "textual/scan/source_scanner.h"

namespace sornik {
namespace {

class DirectExpansionTest : public ::testing::Test {
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

  // Starts the direct expansion of a new run, with a new table.
  void new_run() {
    table_.emplace();
    direct_.emplace(*table_, substitution_.limits());
  }

  ~DirectExpansionTest() override {
    if (file_ != nullptr) std::fclose(file_);
  }

  void define(std::string_view name, std::string_view body) { add(name, std::nullopt, body); }
  void define_call(std::string_view name, std::string_view params, std::string_view body) {
    add(name, params, body);
  }

  // The line as the direct way renders it, or nullopt.
  std::optional<std::string> direct(std::string_view line) {
    ready();
    const std::optional<DirectLine> expanded = direct_->expand_line_directly(expansion_.state, line);
    if (!expanded) return std::nullopt;
    EXPECT_EQ(expanded->expanded, expanded->text != line) << line;
    return std::string(expanded->text);
  }

  // The line as the passes and the default rendering print it, with
  // `rest` as the lines after it in the file.
  std::string passed(std::string_view line, std::string_view rest = "") {
    ready();
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::tmpfile();
    std::fwrite(rest.data(), 1, rest.size(), file_);
    std::rewind(file_);
    LineReader reader(file_);
    ibuf.assign(line);
    if (run_line_passes(expansion_, reader) == 0) return obuf;
    std::string printed;
    append_default_rendering(printed, obuf);
    return printed;
  }

  // Checks that the direct way takes `line` and prints what the passes print.
  void expect_taken(std::string_view line) {
    const std::optional<std::string> text = direct(line);
    ASSERT_TRUE(text) << line;
    EXPECT_EQ(*text, passed(line)) << line;
  }

 private:
  void add(std::string_view name, std::optional<std::string_view> params, std::string_view body) {
    DefineEntry& entry = table_->add_define_record();
    table_->keep_name(entry, name, params);
    table_->keep_body(entry, body);
    sorted_ = false;
  }
  void ready() {
    if (!sorted_) table_->sort_defines();
    sorted_ = true;
  }

  std::optional<DirectExpansion> direct_{std::in_place, *table_, substitution_.limits()};
  bool sorted_ = false;
  std::FILE* file_ = nullptr;
};

TEST_F(DirectExpansionTest, RendersEachUseWithItsExpansionsToTheThirdLevel) {
  define("N", "10");
  define_call("TWICE", "v", "((v)+(v))");
  define("A", "B + 1");
  define("B", "C * 2");
  define("C", "D");
  define("D", "never");
  EXPECT_EQ(direct("y = TWICE(N);\n"), "y = TWICE(N)`((N`10')+(N`10'))';\n");
  // D is the text of C's use, which only a fourth pass would scan.
  EXPECT_EQ(direct("x = A;\n"), "x = A`B`C`D' * 2' + 1';\n");
  EXPECT_EQ(direct("no use here\n"), "no use here\n");
  for (const char* line :
       {"y = TWICE(N);\n", "x = A + A;\n", "TWICE(TWICE(A))", "q TWICE(TWICE(TWICE(N)))\n"})
    expect_taken(line);
}

TEST_F(DirectExpansionTest, CallsAsThePassesFindThem) {
  define("N", "10");
  define_call("F", "a, b", "[a|b]");
  define_call("G", "x", "F(x, N)");
  define_call("OPEN", "x", "F(x, N");
  const char* const kLines[] = {
      "F(1, 2) F[1, 2] F{1, 2} F<1, 2>\n",
      "F (1, 2) F;\n",           // no call without a bracket right after the name
      "F((1, 2), (N)) G(3)\n",   // commas inside brackets stay in their argument
      "F[x), (y] F<1, (2>)>\n",  // only the list's own kind of bracket counts
      "G(N)G(N)x\n",             // names right after a list
      "OPEN(1) + N\n",           // a later pass leaves a list that its text does not close
      "a / b, N/2, 2/N\n",       // a slash that opens no comment
      "G(F)\n",
  };
  for (const char* line : kLines) expect_taken(line);
  EXPECT_EQ(direct("OPEN(1) + N\n"), "OPEN(1)`F(1, N`10'' + N`10'\n");
}

// Whatever could change the scan state, or the passes treat apart, leaves
// the line to them; a text that only a last pass writes may hold anything.
TEST_F(DirectExpansionTest, LeavesToThePassesWhatTheyTreatApart) {
  define("A", "B");
  define("B", "C");
  define("C", "end");
  define("E", "");
  define_call("F", "a, b", "[a|b]");
  define("Q1", "\"x\"");
  define("Q2", "Q1");
  define("Q3", "Q2");
  define("S2", "x //");
  define("S3", "S2");
  define("S4", "S3");
  const char* const kLeft[] = {
      "\\ A\n",
      "$A\n",
      "#if A\n",
      "A \x81\x40\n",
      "A \x01\n",
      "E\n",
      "F(1)\n",
      "F(1, 2\n",
      "F(1, p:q)\n",
      "F(1, \"2\")\n",
      "F(1, 2/3)\n",
      "Q1\n",
      "Q2\n",
      "S2\n",
      "S3\n",
      // Comments and literals that leave the state other than plain code, or
      // hold bytes the passes treat apart.
      "A /* c\n",
      "A \"s\n",
      "A 's\\'\n",
      "A // c */ A\n",
      "A //*/\n",
      "A \"\x01\"\n",
      "A '\\\x02'\n",
      "A \"\x81\x03\"\n",
  };
  for (const char* line : kLeft) EXPECT_EQ(direct(line), std::nullopt) << line;
  EXPECT_EQ(direct(std::string_view("A\0\n", 3)), std::nullopt);
  EXPECT_EQ(direct(std::string_view("A \"\0\"\n", 6)), std::nullopt);
  // A "*/" in code changes nothing; the third level is written, not scanned.
  for (const char* line : {"A */\n", "Q3\n", "S4\n", "F(Q3, S4)\n"}) expect_taken(line);
  EXPECT_EQ(direct("Q3\n"), "Q3`Q2`Q1`\"x\"'''\n");
}

// Comments and literals of the source line are stepped over as every pass
// steps over them; names in them stay as they are.
TEST_F(DirectExpansionTest, StepsOverCommentsAndLiteralsOfTheLine) {
  define("A", "1");
  define_call("F", "a", "<a>");
  const char* const kLines[] = {
      "A /* A */ A\n",        "A // A \"\n",      "\"A\" A 'A'\n",      "'\\'' A \"\\\"A\" A\n",
      "/*/ A */ A\n",         "A \"\x81\"\" A\n", "A \"\\\x81\"\" A\n", "x = F(A) /* F(A) */; // F(A)\n",
      "A /* \x01\x81 */ A\n", "'\"' A \"'\" A\n", "/**/A/**/\n",        "A // \x02 \xff\n",
      "A *//F(A) // A\n",     "A **/* A */ A\n",
  };
  for (const char* line : kLines) expect_taken(line);
  EXPECT_EQ(direct("A /* A */ \"A\" A // A\n"), "A`1' /* A */ \"A\" A`1' // A\n");
  EXPECT_EQ(comm_flag, 0);
  EXPECT_EQ(str_flag, 0);
  EXPECT_EQ(print_f, 1);
}

TEST_F(DirectExpansionTest, TakesOnlyLinesThatStartInPlainCode) {
  define("A", "1");
  EXPECT_TRUE(direct("A\n"));
  comm_flag = 1;
  print_f = 0;
  EXPECT_EQ(direct("A\n"), std::nullopt);
  expansion_.state = {};
  str_flag = '"';
  print_f = 0;
  EXPECT_EQ(direct("A\n"), std::nullopt);
}

TEST_F(DirectExpansionTest, LeavesHugeLinesToThePasses) {
  define("BIG", std::string(100'000, 'x'));
  define("ONE", "BIG");
  EXPECT_TRUE(direct("ONE ONE\n"));
  EXPECT_EQ(direct("ONE ONE ONE\n"), std::nullopt);
}

// A define cut for one run is not taken for the define at the same place
// in the next run's table.
TEST_F(DirectExpansionTest, ForgetsTheCutsOfTheLastRun) {
  define_call("F", "a", "<a>");
  EXPECT_EQ(direct("F(1)\n"), "F(1)`<1>'\n");
  new_run();
  define_call("F", "b", "{b}");
  EXPECT_EQ(direct("F(1)\n"), "F(1)`{1}'\n");
}

// Random lines of dense code over random defines: where the direct way
// takes a line, it prints what the passes print.
TEST_F(DirectExpansionTest, AgreesWithThePasses) {
  std::mt19937 random(5);
  const auto pick = [&](const auto& list) {
    return list[random() % std::size(list)];
  };
  static const char* const kPieces[] = {"O0", "O1", "O2", "O3", "F0(", "F1(", "F2[", "(",  ")",  "]",
                                        ",",  " ",  "x",  "1",  "/",   "*",   "<",   "#",  "\"", "'",
                                        "\\", ":",  "O",  "F0", "_O1", "O2x", "/*",  "*/", "//"};
  const auto text = [&](int most) {
    std::string piece;
    for (int n = static_cast<int>(random() % most); n > 0; --n) piece += pick(kPieces);
    return piece;
  };
  int taken = 0;
  int tried = 0;
  for (int round = 0; round < 1000; ++round) {
    new_run();
    for (int n = 0; n < 4; ++n) define("O" + std::to_string(n), text(4));
    for (int n = 0; n < 3; ++n) define_call("F" + std::to_string(n), random() % 4 ? "a, b" : "a", text(6));
    for (int line = 0; line < 20; ++line) {
      const std::string source = text(10) + "\n";
      ++tried;
      expansion_.state = {};
      const std::optional<std::string> fast = direct(source);
      if (!fast) continue;
      ++taken;
      testing::CapturedIo io;
      ASSERT_EQ(*fast, passed(source)) << source;
    }
  }
  EXPECT_GT(taken, tried / 5);
}

}  // namespace
}  // namespace sornik
