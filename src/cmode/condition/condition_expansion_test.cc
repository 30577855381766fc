// Tests that the direct expansion of #if lines answers as the rescanner or leaves the line to it.
#include "cmode/condition/condition_expansion.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

#include "cmode/listing/expander.h"
#include "cmode/macro/builtin_macros.h"
#include "cmode/pp/define_directive.h"

namespace sornik::cmode {
namespace {

// A macro table filled from "#define" lines, and both ways of expanding an
// #if line over it.
class Conditions {
 public:
  Conditions() { define_builtins(table_); }

  // False when the line defines nothing.
  bool define(std::string_view text) {
    lexer_.lex(text, tokens_);
    DefineParse parse = parse_define(std::span<const Token>(tokens_).subspan(2));
    if (parse.macro == nullptr) return false;
    table_.define(std::move(parse.macro));
    return true;
  }

  // The tokens of the direct path as "text/kind ...", or "-" when it leaves
  // the line to the rescanner.
  std::string direct(std::string_view line) {
    lexer_.lex(line, tokens_);
    std::vector<Token> out;
    if (!direct_.expand(tokens_, out)) return "-";
    return spelled(out);
  }

  std::string rescanned(std::string_view line) {
    lexer_.lex(line, tokens_);
    std::vector<Token> out;
    expander_.expand_directive(tokens_, ExpandedFor::condition, {"t.c", 1}, out);
    return spelled(out);
  }

 private:
  static std::string spelled(const std::vector<Token>& tokens) {
    std::string text;
    for (const Token& token : tokens) {
      text += token.text;
      text += '/';
      text += std::to_string(static_cast<int>(token.kind));
      text += ' ';
    }
    return text;
  }

  MacroTable table_;
  Lexer lexer_;
  std::vector<Token> tokens_;
  ConditionExpansion direct_{table_};
  Expander expander_{table_};
};

const char* const kDefinitions[] = {
    "#define W 64",
    "#define EMPTY",
    "#define ALIAS W",
    "#define SELF SELF + 1",
    "#define PING PONG",
    "#define PONG PING",
    "#define __GNUC__ 12",
    "#define __GNUC_MINOR__ 2",
    "#define __GNUC_PREREQ(maj, min) ((__GNUC__ << 16) + __GNUC_MINOR__ >= ((maj) << 16) + (min))",
    "#define __GLIBC_USE(F) __GLIBC_USE_ ## F",
    "#define __GLIBC_USE_ISOC2X 0",
    "#define __GLIBC_USE_LIB_EXT2 1",
    "#define HAS(x) __has_attribute (x)",
    "#define ID(x) x",
    "#define TWICE(x) ID(x) + ID(x)",
    "#define NONE() 7",
    "#define FN ID",
    "#define CALLS_OPEN ID(",
    "#define STR(x) #x",
    "#define CAT3(a, b, c) a ## b ## c",
    "#define NUMCAT(a) 1 ## a",
    "#define VAR(...) __VA_ARGS__",
    "#define DEF defined W",
    "#define LINE __LINE__",
    "#define HASH #",
    "#define SELF_F(x) SELF_F(x) + x",
    "#define PAREN (W)",
};

struct Case {
  const char* line;
  bool direct;  // whether the direct path expands it
};

// Each line either goes the direct way with exactly the rescanner's tokens,
// or is left to the rescanner.
TEST(ConditionExpansion, GivesTheRescannersTokensOrLeavesTheLine) {
  const Case cases[] = {
      {"W == 64", true},
      {"EMPTY + W", true},
      {"ALIAS > 32 && UNKNOWN == 0", true},
      {"SELF", true},
      {"PING || PONG", true},
      {"defined W && defined ( EMPTY ) && !defined(UNKNOWN)", true},
      {"defined", true},
      {"defined (W", true},
      {"defined ((W)) W", true},
      {"__GNUC_PREREQ (4, 3) && !__GNUC_PREREQ (13, 0)", true},
      {"__GLIBC_USE (ISOC2X) || __GLIBC_USE (LIB_EXT2)", true},
      {"__GLIBC_USE (W)", true},
      {"HAS(W) && HAS (unused)", true},
      {"TWICE(W) == 128", true},
      {"TWICE(ID(W))", true},
      {"NONE() == 7", true},
      {"NONE ( ) == 7", true},
      {"ID() + 1", true},
      {"ID((1, 2))", true},
      {"FN + 1", false},
      {"ID", true},
      {"ID + 1", true},
      {"SELF_F(W)", true},
      {"PAREN", true},
      {"NUMCAT(2)", false},
      {"FN(1)", false},
      {"CALLS_OPEN 1)", false},
      {"ID(1", false},
      {"ID(1, 2)", false},
      {"NONE(1)", false},
      {"__GNUC_PREREQ (4)", false},
      {"STR(W)", false},
      {"CAT3(a, b, c)", false},
      {"VAR(1)", false},
      {"DEF", false},
      {"ID(defined W)", false},
      {"LINE", false},
      {"__LINE__ + W", false},
      {"__has_include(<stdio.h>) || W", false},
      {"HASH", false},
      {"ID(FN)", false},
      {"ID(SELF)", false},
      {"__GLIBC_USE (1.5)", false},
      {"__GLIBC_USE ()", false},
      {"__GLIBC_USE (LIB_EXT2 + 1)", false},
  };
  Conditions conditions;
  for (const char* definition : kDefinitions) ASSERT_TRUE(conditions.define(definition)) << definition;
  for (const Case& c : cases) {
    const std::string direct = conditions.direct(c.line);
    if (c.direct) {
      EXPECT_EQ(direct, conditions.rescanned(c.line)) << c.line;
    } else {
      EXPECT_EQ(direct, "-") << c.line;
    }
  }
}

// Random lines over random definitions: wherever the direct path answers,
// its tokens are the rescanner's.
TEST(ConditionExpansion, AgreesWithTheRescannerOnRandomLines) {
  std::mt19937 random(14);
  const char* const names[] = {"A", "B", "C", "F", "G", "H", "X"};
  const char* const pieces[] = {"1", "0x10", "+", "-", "<<", "==", "(", ")", ",", "&&", "!", "?", ":", "'a'"};
  auto pick = [&](auto& list) {
    return std::string(list[random() % std::size(list)]);
  };
  std::size_t taken = 0;
  std::size_t lines = 0;
  for (int round = 0; round < 300; ++round) {
    Conditions conditions;
    for (const char* name : names) {
      if (random() % 4 == 0) continue;
      std::string text = std::string("#define ") + name;
      const int params = static_cast<int>(random() % 4) - 1;  // -1: object-like
      if (params >= 0) {
        text += '(';
        for (int p = 0; p < params; ++p) text += (p ? ", p" : "p") + std::to_string(p);
        text += ')';
      }
      const std::size_t length = random() % 6;
      for (std::size_t i = 0; i < length; ++i) {
        const unsigned what = random() % 10;
        if (what < 3) {
          text += ' ' + pick(names);
        } else if (what < 5 && params > 0) {
          text += " p" + std::to_string(random() % static_cast<unsigned>(params));
        } else if (what == 5 && i > 0 && i + 1 < length) {
          text += " ##";
        } else if (what == 6 && random() % 4 == 0) {
          text += " defined";
        } else {
          text += ' ' + pick(pieces);
        }
      }
      conditions.define(text + '\n');  // a definition the compiler refuses is left out
    }
    for (int line = 0; line < 40; ++line) {
      std::string text;
      const std::size_t length = 1 + random() % 10;
      for (std::size_t i = 0; i < length; ++i) {
        const unsigned what = random() % 8;
        if (what < 4) {
          text += pick(names) + ' ';
        } else if (what == 4) {
          text += "defined ";
        } else {
          text += pick(pieces) + ' ';
        }
      }
      const std::string direct = conditions.direct(text);
      ++lines;
      if (direct == "-") continue;
      ++taken;
      EXPECT_EQ(direct, conditions.rescanned(text)) << text;
    }
  }
  // Most lines must go the direct way, or this test proves little.
  EXPECT_GT(taken * 2, lines);
}

}  // namespace
}  // namespace sornik::cmode
