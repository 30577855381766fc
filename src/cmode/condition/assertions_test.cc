// Tests of the assertions' store: the target's own answers, and answers that
// differ in white space alone being one.
#include "cmode/condition/assertions.h"

#include <gtest/gtest.h>
#include <string>

#include "cmode/macro/macro_table.h"
#include "cmode/pp/define_directive.h"

namespace sornik::cmode {
namespace {

class AssertionsTest : public ::testing::Test {
 protected:
  void define(std::string_view name) {
    line_ = "# define " + std::string(name);
    lexer_.lex(line_, tokens_);
    table_.define(parse_define(std::span<const Token>(tokens_).subspan(2)).macro);
  }

  // Whether the assertion written in `text` (after #, #assert or #unassert) holds.
  bool holds(std::string_view text) { return assertions_.holds(form(text)); }

  AssertionForm form(std::string_view text) {
    lexer_.lex(text, tokens_);
    AssertionForm form;
    EXPECT_EQ(Assertions::read(tokens_, 0, form), "") << text;
    return form;
  }

  MacroTable table_;
  Assertions assertions_;
  Lexer lexer_;
  std::string line_;
  std::vector<Token> tokens_;
};

TEST_F(AssertionsTest, TheTargetAssertsWhatItsMacrosTell) {
  assertions_.reset(table_);
  EXPECT_FALSE(holds("system"));
  EXPECT_FALSE(holds("cpu"));
  define("__i386__");
  assertions_.reset(table_);
  EXPECT_TRUE(holds("cpu(i386)"));
  EXPECT_TRUE(holds("machine(i386)"));
  EXPECT_FALSE(holds("system"));
  define("__x86_64__");
  define("__gnu_linux__");
  assertions_.reset(table_);
  EXPECT_TRUE(holds("system(linux)") && holds("system(unix)") && holds("system(posix)"));
  EXPECT_TRUE(holds("cpu(x86_64)") && holds("machine(x86_64)"));
  EXPECT_FALSE(holds("cpu(i386)"));
  EXPECT_FALSE(holds("system(gnu)"));
}

TEST_F(AssertionsTest, AnswersDifferingInWhiteSpaceAloneAreOne) {
  assertions_.add(form("p ( a  b+c )"));
  EXPECT_TRUE(holds("p(a b+c)"));
  EXPECT_FALSE(holds("p(a /* */ b + c)"));
  EXPECT_FALSE(holds("p(ab+c)"));
  EXPECT_TRUE(holds("p"));
  assertions_.add(form("p(d)"));
  assertions_.remove(form("p(a b+c)"));
  EXPECT_FALSE(holds("p(a b+c)"));
  EXPECT_TRUE(holds("p"));
  assertions_.remove(form("p"));
  EXPECT_FALSE(holds("p"));
  assertions_.reset(table_);
  EXPECT_FALSE(holds("p(d)"));
}

TEST_F(AssertionsTest, ReadsTheFormsTheCompilerRefuses) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"", "assertion without predicate"},
      {"12", "predicate must be an identifier"},
      {"p(a", "missing ')' to complete answer"},
      {"p()", "predicate's answer is empty"},
      {"p(a(b) c", ""},
  };
  for (const auto& [text, error] : cases) {
    lexer_.lex(text, tokens_);
    AssertionForm form;
    EXPECT_EQ(Assertions::read(tokens_, 0, form), error) << text;
  }
  EXPECT_EQ(form("p(a(b) c").end, 6U);
}

}  // namespace
}  // namespace sornik::cmode
