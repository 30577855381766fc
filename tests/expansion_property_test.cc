// With the format "$n" every group renders as its name text, which is the
// source text it replaced, so a run that succeeds must print its sources
// byte for byte: any lost, doubled or garbled byte anywhere in the pipeline
// shows up here. That cannot see whether a name was expanded at all, so
// plain code (no comments, literals or directives) is also checked against
// a reference that expands every whole word that is a defined name.
#include <cctype>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "captured_io.h"
#include "textual/expand/direct_expansion.h"
#include "textual/files/source_files.h"

namespace sornik {
namespace {

class RandomText {
 public:
  explicit RandomText(unsigned seed) : rng_(seed) {}

  int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(rng_); }

  // Definitions: object-like OBJ0..OBJ9 whose values use later names, open
  // comments and literals, marks and calls, and function-like FN0..FN4.
  std::string definitions() {
    std::string text;
    for (int n = 0; n < 10; ++n) {
      std::string value;
      for (int part = 1 + below(4); part > 0; --part) {
        value += n < 9 && below(4) == 0 ? "OBJ" + std::to_string(n + 1 + below(9 - n)) : value_piece();
      }
      text += "#define OBJ" + std::to_string(n) + " " + value + "\n";
    }
    for (int n = 0; n < 5; ++n) {
      text += "#define FN" + std::to_string(n) + "(a, b) (a + OBJ" + std::to_string(below(10)) + " * b)" +
              (below(4) == 0 ? " /* open" : "") + "\n";
    }
    return text;
  }

  // A source file of a few lines of code, comments, literals and odd bytes.
  std::string source() {
    std::string text;
    for (int piece = below(60); piece > 0; --piece) text += source_piece();
    if (below(3) != 0) text += "\n";
    return text;
  }

 private:
  std::string value_piece() {
    static const char* const kPieces[] = {"1",  " + ",  "FN1(x, y)", "FN2(", "/*",     "'",
                                          "\"", "\x01", "\x03",      "*/",   "(x)",    "FN0",
                                          "/",  "*",    "v",         "\\",   "\x81\\", "\x04\x02"};
    return kPieces[below(std::size(kPieces))];
  }

  std::string call() {
    static const char* const kOpen[] = {"(", "[", "{", "<"};
    static const char* const kClose[] = {")", "]", "}", ">"};
    static const char* const kArguments[] = {"x",  "OBJ1", "(y)",      "\"s,t\"", "'c'",     "/* c */ z",
                                             "\n", "f[1]", "\x02\x03", " OBJ4 ",  "\t\n w\n"};
    const int kind = below(4);
    return "FN" + std::to_string(below(5)) + kOpen[kind] + kArguments[below(std::size(kArguments))] + "," +
           kArguments[below(std::size(kArguments))] + kClose[kind];
  }

  std::string source_piece() {
    switch (below(32)) {
      case 0: return "\n";
      case 1: return "\n#if OBJ1\n";
      case 2: return "/* OBJ2\n OBJ3 */";
      case 3: return "// OBJ4 */ OBJ5";
      case 4: return "\"OBJ6 \\\" OBJ6\"";
      case 5: return "'\\''";
      case 6: return std::string("\0\x01\x02\x03\x04", 5);
      case 7: return "\x81\\";
      case 8: return "FN3 (x)";
      case 9: return "FN4;";
      case 10: return "0x1F OBJ10 ";
      case 11: return call();
      case 12: return call() + "\n";
      case 13: return "x */* OBJ1 */ y";
      case 14: return " *// OBJ2\n";
      case 15: return "\"a\\\n";
      case 16: return "\x81\"";
      case 17: return std::string("\"\x81\0\" OBJ3", 9);
      case 18: return std::string(below(70), ' ') + "OBJ5";
      case 19: return "\r\n";
      case 20: return "/*/ OBJ7 */";
      case 21: return "'\"' OBJ8";
      default: return below(2) == 0 ? " OBJ" + std::to_string(below(10)) : " v" + std::to_string(below(99));
    }
  }

  std::mt19937 rng_;
};

// Lines that need no pass are written straight from the input block, and
// plain lines with uses are expanded directly; the output must be what the
// passes make of every line, also for lines that cross a block, continue a
// comment or literal, or are too long.
TEST(ExpansionProperty, StreamedLinesAreWhatThePassesMake) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    RandomText random(seed);
    std::map<std::string, std::string> files = {{"defs.h", random.definitions()}};
    std::string& big = files["big.c"];
    while (big.size() < 150'000) {
      big += random.source();
      // The longest line the line loop takes, somewhere in a block.
      if (seed % 4 == 2 && big.size() % 7 == 0) big += "\n" + std::string(1021, 'y') + "\n";
    }
    if (seed % 4 == 0) big += std::string(1100, 'x') + "\n";
    files["small.c"] = random.source();
    for (const std::string format : {"", "<$n|$x>"}) {
      std::vector<std::string> args = {"-d", "defs.h", "big.c", "small.c"};
      if (!format.empty()) args.insert(args.begin(), {"-f", format});
      const testing::RunResult expected = testing::run_in_memory(
          args, files, {.stream_plain_lines = false, .expand_lines_directly = false, .replace_limits = {}});
      const testing::RunResult streamed = testing::run_in_memory(args, files);
      EXPECT_EQ(streamed.status, expected.status) << "seed " << seed;
      EXPECT_EQ(streamed.out, expected.out) << "seed " << seed;
      EXPECT_EQ(streamed.err, expected.err) << "seed " << seed;
    }
  }
}

TEST(ExpansionProperty, NameFormatPrintsTheSourcesByteForByte) {
  int succeeded = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    RandomText random(seed);
    std::map<std::string, std::string> files = {{"defs.h", random.definitions()}};
    std::vector<std::string> args = {"-f", "$n", "-d", "defs.h"};
    const bool listed = random.below(2) == 0;
    if (listed) args.insert(args.begin(), "-l");
    std::string expected;
    for (int file = 0; file < 1 + random.below(3); ++file) {
      const std::string name = "s" + std::to_string(file) + ".c";
      files[name] = random.source();
      args.push_back(name);
      if (listed) expected += "/* === " + name + " === */\n";
      expected += files[name];
    }
    const testing::RunResult result = testing::run_in_memory(args, files);
    if (result.status != 0) {
      // Only a use that cannot be expanded may end such a run.
      EXPECT_EQ(result.err, "cannot develop, so exit!\n") << "seed " << seed;
      continue;
    }
    ++succeeded;
    EXPECT_EQ(result.out, expected) << "seed " << seed;
    EXPECT_EQ(result.err, "") << "seed " << seed;
  }
  EXPECT_GT(succeeded, 200);
}

// Plain code: defined names, words that merely resemble them, and
// separators, among them bytes of 0x80 and more, which outside literals are
// looked at one by one.
class PlainCode {
 public:
  explicit PlainCode(unsigned seed) : random_(seed) {}

  // Object-like defines N0..N9 whose values hold no name that is defined.
  std::map<std::string, std::string> values() {
    static const char* const kValues[] = {"1", "(2 + x)", "-7", "0x1F", "N10", "v w", "n0"};
    std::map<std::string, std::string> values;
    for (int n = 0; n < 10; ++n) values["N" + std::to_string(n)] = kValues[random_.below(std::size(kValues))];
    return values;
  }

  std::string source() {
    static const char* const kPieces[] = {"N", "N10", "xN1", "N2_", "_N3", "N4x", "9N5", " ",    "+",
                                          "(", ")",   ";",   ",",   "[",   "-",   "\t",  "\x81", "\xe0"};
    std::string text;
    for (int piece = random_.below(80); piece > 0; --piece) {
      const int pick = random_.below(std::size(kPieces) + 10);
      text += pick < 10 ? "N" + std::to_string(pick) : kPieces[pick - 10];
      if (random_.below(12) == 0) text += "\n";
    }
    return text + "\n";
  }

 private:
  RandomText random_;
};

// Every maximal run of name bytes that is a defined name, rendered in the
// default form.
std::string expanded_by_reference(std::string_view text, const std::map<std::string, std::string>& values) {
  const auto is_name_byte = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  };
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && is_name_byte(text[end])) ++end;
    if (end == pos) {
      out += text[pos++];
      continue;
    }
    const std::string word(text.substr(pos, end - pos));
    const auto value = values.find(word);
    out += value == values.end() ? word : word + "`" + value->second + "'";
    pos = end;
  }
  return out;
}

TEST(ExpansionProperty, EveryDefinedWordOfPlainCodeIsExpanded) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    PlainCode code(seed);
    const std::map<std::string, std::string> values = code.values();
    std::string definitions;
    for (const auto& [name, value] : values) definitions += "#define " + name + " " + value + "\n";
    const std::string source = code.source();
    const testing::RunResult result =
        testing::run_in_memory({"-d", "defs.h", "s.c"}, {{"defs.h", definitions}, {"s.c", source}});
    EXPECT_EQ(result.status, 0) << "seed " << seed;
    EXPECT_EQ(result.out, expanded_by_reference(source, values)) << "seed " << seed;
  }
}

}  // namespace
}  // namespace sornik
