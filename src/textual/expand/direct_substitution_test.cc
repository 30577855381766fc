// Tests of one-pass substitution of plain calls from parameter lists and bodies cut
// once.
#include "textual/expand/direct_substitution.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "captured_io.h"
#include "textual/expand/argument_substitution.h"
#include "textual/replace/replace_engine.h"

namespace sornik {
namespace {

class SubstituteWords : public ::testing::Test {
 protected:
  // The one-pass substitution of the call, or nullopt where it is declined.
  std::optional<std::string> direct(std::string_view params, std::string_view args, std::string_view body) {
    const std::optional<std::string_view> result = substitution.substitute_words(params, args, body);
    return result ? std::optional<std::string>(*result) : std::nullopt;
  }

  // The substitution through the engine's template, by a fresh engine.
  std::optional<std::string> by_template(std::string_view params, std::string_view args,
                                         std::string_view body) {
    ArgumentSubstitution engine_side;
    const std::optional<std::string_view> result = engine_side.convert_str_by_template(1, params, args, body);
    return result ? std::optional<std::string>(*result) : std::nullopt;
  }

  ArgumentSubstitution substitution;
};

TEST_F(SubstituteWords, TakesPlainCallsAndLeavesTheRestToTheEngine) {
  testing::CapturedIo io;
  struct Case {
    std::string params;
    std::string args;
    std::string body;
    std::optional<std::string> result;
  };
  const Case cases[] = {
      {"a, b", "value_3, OBJ_1", "((a) * 7 + (b))", "((value_3) * 7 + (OBJ_1))"},
      {"a,b", "f(1,2), c", "a+b ab a_ \"a\"", "f(1,2)+c ab a_ \"f(1,2)\""},
      {"a,a", "x,y", "a", "x"},
      // A lead byte joins the byte after it; a word before a byte of 0x80 or above is no whole word.
      {"x", "1", "\x82x x\x82 1 x", "\x82x x\x82 1 1"},
      {"x", "1", std::string("x\0x", 3),
       std::string("1\0"
                   "1",
                   3)},
      // Declined: digit parameters select fields, arguments the engine
      // escapes or reads as two-byte characters, a parameter's name in an
      // argument, lists that differ, no parameter, a lone "..." name.
      {"1", "x", "1", std::nullopt},
      {"a", "$u", "a", std::nullopt},
      {"a", "p:q", "a", std::nullopt},
      {"a", "\\n", "a", std::nullopt},
      {"a", "\x81x", "a", std::nullopt},
      {"a,b", "b,1", "a+b", std::nullopt},
      {"a,b", "x", "a", std::nullopt},
      {"", "", "body", std::nullopt},
      {"fmt, ...", "f, a", "p(fmt, ...)", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(direct(c.params, c.args, c.body), c.result) << c.params << " | " << c.args;
  EXPECT_EQ(io.err(), "");
}

TEST_F(SubstituteWords, ALastResultMayBeTheNextBody) {
  const std::optional<std::string_view> first = substitution.convert_str(1, "a", "x", "a+a");
  ASSERT_EQ(first, "x+x");
  EXPECT_EQ(substitution.convert_str(1, "x", "yy", *first), "yy+yy");
}

// Bodies are cut once and kept by where they lie; a text changed in place,
// or more bodies than the table keeps, still give what the engine gives.
TEST_F(SubstituteWords, KeptBodiesFollowTheirTexts) {
  std::string params = "a, b";
  std::string body = "a-b";
  EXPECT_EQ(direct(params, "x, y", body), "x-y");
  body[2] = 'a';
  EXPECT_EQ(direct(params, "x, y", body), "x-x");
  params[0] = 'c';
  EXPECT_EQ(direct(params, "x, y", body), "a-a");
  std::vector<std::string> bodies;
  for (int i = 0; i < 10000; ++i) bodies.push_back("(a) * " + std::to_string(i) + " + (b)");
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 10000; i += 7)
      ASSERT_EQ(direct("a, b", "p, q", bodies[i]), "(p) * " + std::to_string(i) + " + (q)");
  }
  // Texts too long to keep are cut for the call alone.
  const std::string long_body = std::string(1100, '.') + "a";
  EXPECT_EQ(direct("a", "z", long_body), std::string(1100, '.') + "z");
}

// The argument list is cut as the engine's template cuts it: blanks trimmed,
// commas inside brackets and literals kept, and where both lists end
// together, what follows the empty word is not read.
TEST_F(SubstituteWords, CutsArgumentsAsTheTemplateDoes) {
  testing::CapturedIo io;
  const char* const kLists[] = {" x ,\ty\n", "f(1, 2), \"a,b\"", "'(', ')'", "x, y,", "x, y,, \\z",
                                "x",         "x, y, z",          ",y",       "x,,y",  "(x, y",
                                "x, \"y",    "\tx\f, y "};
  for (const char* args : kLists) {
    const std::optional<std::string> fast = direct("a, b", args, "[a|b]");
    const std::optional<std::string> engine = by_template("a, b", args, "[a|b]");
    if (fast) {
      ASSERT_TRUE(engine) << args;
      EXPECT_EQ(*fast, *engine) << args;
    }
  }
  EXPECT_EQ(direct("a, b", "x, y,, \\z", "[a|b]"), "[x|y]");
  EXPECT_EQ(direct("a, b", "(x, y), z", "[a|b]"), "[(x, y)|z]");
  EXPECT_EQ(direct("a, b", "x", "[a|b]"), std::nullopt);
  EXPECT_EQ(direct("a, b", "x, y, z", "[a|b]"), std::nullopt);
}

TEST_F(SubstituteWords, StaysWithinTheEngineLimits) {
  ArgumentSubstitution limited(ReplaceLimits{64, 1 << 20});
  EXPECT_EQ(limited.substitute_words("a", "xxxxxxxx", "a a a a a a a a"), std::nullopt)
      << "a result past the limit";
  EXPECT_EQ(limited.substitute_words("a", "x", "a a"), "x x");
}

// Wherever the direct way takes a call, it gives what the engine gives.
TEST_F(SubstituteWords, AgreesWithTheTemplateEngine) {
  testing::CapturedIo io;
  std::mt19937 random(11);
  static const char* const kParams[] = {"a", "b", "ab", "x1", "_", "a_b"};
  static const char* const kPieces[] = {"a",  "b",    "ab",   " ", "+",   "(",  ")",    ",",    "\"", "'",
                                        "x1", "\x81", "\xe0", "_", "a_b", "\n", "\x80", "\x03", "1",  "\\"};
  auto text = [&](int most) {
    std::string piece;
    for (int n = static_cast<int>(random() % most); n > 0; --n)
      piece += kPieces[random() % std::size(kPieces)];
    return piece;
  };
  int taken = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string params;
    std::string args;
    for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n) {
      params += std::string(kParams[random() % std::size(kParams)]) + (n > 1 ? "," : "");
      args += text(5) + (n > 1 ? "," : "");
    }
    const std::string body = text(12);
    const std::optional<std::string> fast = direct(params, args, body);
    if (!fast) continue;
    ++taken;
    const std::optional<std::string> engine = by_template(params, args, body);
    ASSERT_TRUE(engine) << params << " | " << args << " | " << body;
    EXPECT_EQ(*fast, *engine) << params << " | " << args << " | " << body;
  }
  EXPECT_GT(taken, 2000);
  EXPECT_EQ(io.err(), "");
}

}  // namespace
}  // namespace sornik
