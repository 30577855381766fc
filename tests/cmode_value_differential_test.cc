// The values that "$v" and "$h" give for random constant macros, compared
// with what a C program built from the same macros prints, and with what
// the compiler tells of each: a macro the compiler diagnoses as no integer
// constant expression (overflow, division by zero, a bad shift, a floating
// operand, a variable) must have no value. The default run is small and
// fixed; a longer one is
//   SORNIK_VALUE_CONSTANTS=20000 SORNIK_VALUE_SEED=7 build/tests/sornik_tests --gtest_filter='CModeValue*'
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "captured_io.h"

namespace sornik::testing {
namespace {

unsigned long setting(const char* name, unsigned long fallback) {
  const char* value = std::getenv(name);
  return value == nullptr ? fallback : std::strtoul(value, nullptr, 10);
}

// Random expressions of integer constants, most of them integer constant
// expressions, some on purpose not.
class ConstantMaker {
 public:
  explicit ConstantMaker(std::uint64_t seed) : random_(seed) {}

  // An expression, and whether its form allows a constant: it holds no
  // variable, and a floating constant only as the operand of a cast.
  std::string make(int depth, bool& form_allows) {
    variables_ = 0;
    std::string text = expression(depth);
    form_allows = variables_ == 0 && floating_constants_cast(text);
    return text;
  }

 private:
  std::string expression(int depth) {
    shift_on_top_ = false;
    if (depth <= 0 || chance(25)) return leaf();
    std::string text;
    const std::size_t kind = pick(6);
    switch (kind) {
      case 0: {
        // gcc folds - and ~ into a shift below them, and then takes a shift
        // by the width or more as no constant even where it is not evaluated.
        const std::string operand = expression(depth - 1);
        text = (shift_on_top_ ? pick_of(kSafeUnary) : pick_of(kUnary)) + " " + operand;
        break;
      }
      case 1: text = cast() + " " + (chance(15) ? floating() : expression(depth - 1)); break;
      case 2:
        text = expression(depth - 1) + " ? " + expression(depth - 1) + " : " + expression(depth - 1);
        break;
      case 3: text = expression(depth - 1) + " " + pick_of(kShifts) + " " + shift_count(depth); break;
      default: text = expression(depth - 1) + " " + pick_of(kBinary) + " " + expression(depth - 1); break;
    }
    shift_on_top_ = kind == 3;
    return chance(50) ? "(" + text + ")" : text;
  }

  static constexpr std::array<const char*, 4> kUnary = {"-", "~", "!", "+"};
  static constexpr std::array<const char*, 2> kSafeUnary = {"!", "+"};
  static constexpr std::array<const char*, 2> kShifts = {"<<", ">>"};
  static constexpr std::array<const char*, 16> kBinary = {
      "+", "-", "*", "/", "%", "<", ">", "<=", ">=", "==", "!=", "&", "^", "|", "&&", "||"};
  static constexpr std::array<const char*, 24> kTypes = {
      "char",           "signed char",   "unsigned char", "short",
      "unsigned short", "int",           "unsigned",      "long",
      "long int",       "unsigned long", "long long",     "unsigned long long",
      "signed",         "const int",     "_Bool",         "int8_t",
      "uint8_t",        "int16_t",       "uint16_t",      "int32_t",
      "uint32_t",       "int64_t",       "uint64_t",      "unsigned long long int"};
  static constexpr std::array<const char*, 13> kSuffixes = {"",   "u",  "U",  "l",   "L",   "ul", "lu",
                                                            "UL", "ll", "LL", "ull", "LLU", "uLL"};
  static constexpr std::array<std::uint64_t, 16> kEdges = {0,
                                                           1,
                                                           7,
                                                           127,
                                                           128,
                                                           255,
                                                           256,
                                                           32767,
                                                           32768,
                                                           65535,
                                                           2147483647,
                                                           2147483648,
                                                           4294967295,
                                                           4294967296,
                                                           9223372036854775807,
                                                           18446744073709551615u};
  static constexpr std::array<const char*, 8> kCharacters = {
      "'a'", "'\\377'", "'\\x7f'", "'\\0'", "L'\\xff'", "u'\\xffff'", "U'\\x7fffffff'", "'\\n'"};
  // Each fits every integer type: a cast of one that does not is undefined.
  static constexpr std::array<const char*, 7> kFloating = {"1.5",  "1.e2",  "0x1p4", "1.5f",
                                                           "2.0L", "12.75", "0.25"};

  bool chance(unsigned percent) { return random_() % 100 < percent; }
  std::size_t pick(std::size_t count) { return random_() % count; }
  template <std::size_t N>
  std::string pick_of(const std::array<const char*, N>& words) {
    return words[pick(N)];
  }

  std::string cast() { return "(" + pick_of(kTypes) + ")"; }
  std::string floating() { return chance(20) ? "(" + pick_of(kFloating) + ")" : pick_of(kFloating); }

  // Whether each floating constant of `text` is the operand of a cast, in
  // parentheses or not, as the text reads (not as it was made: "(int) 1.5
  // << 2" was made as a cast of a shift).
  static bool floating_constants_cast(std::string_view text) {
    for (std::size_t at = text.find_first_of(".p"); at != std::string_view::npos;
         at = text.find_first_of(".p", at + 1)) {
      const std::size_t begin = text.find_last_of(" (", at) + 1;
      std::size_t before = begin;
      std::size_t parentheses = 0;
      while (before > 0 && text[before - 1] == '(') --before, ++parentheses;
      const std::size_t end = text.find_first_of(" )", at);
      const std::string_view after = text.substr(std::min(end, text.size()));
      if (after.substr(0, parentheses) != std::string(parentheses, ')')) return false;
      const std::string_view prefix = text.substr(0, before);
      const bool cast = std::any_of(kTypes.begin(), kTypes.end(), [&](const char* type) {
        const std::string spelled = "(" + std::string(type) + ") ";
        return prefix.size() >= spelled.size() && prefix.substr(prefix.size() - spelled.size()) == spelled;
      });
      if (!cast) return false;
      at = end == std::string_view::npos ? text.size() - 1 : end;
    }
    return true;
  }

  std::string shift_count(int depth) {
    if (chance(20)) return expression(depth - 1);
    const std::uint64_t count = chance(90) ? random_() % 34 : random_() % 70;
    return std::to_string(count);
  }

  std::string leaf() {
    const std::size_t kind = pick(100);
    if (kind < 4) return pick_of(kCharacters);
    if (kind < 7) return floating();
    if (kind < 9) {
      ++variables_;
      return "var";
    }
    std::uint64_t value = chance(40) ? kEdges[pick(kEdges.size())] : random_() >> (random_() % 64);
    if (chance(10)) value += pick(3) - 1;
    std::string digits;
    switch (pick(3)) {
      case 0: digits = std::to_string(value); break;
      case 1: {
        std::ostringstream hex;
        if (chance(50)) hex << std::uppercase;
        hex << std::hex << value;
        digits = (chance(50) ? "0x" : "0X") + hex.str();
        break;
      }
      default: {
        std::ostringstream octal;
        octal << std::oct << value;
        digits = "0" + octal.str();
        break;
      }
    }
    return digits + pick_of(kSuffixes);
  }

  std::mt19937_64 random_;
  bool shift_on_top_ = false;  // the last expression made is a shift
  int variables_ = 0;          // in the expression being made
};

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of `text`, without their newlines.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The header of the macros C0, C1, ..., one a line from line 1.
std::string constants_header(const std::vector<std::string>& expressions) {
  std::string header;
  for (std::size_t i = 0; i < expressions.size(); ++i)
    header += "#define C" + std::to_string(i) + " " + expressions[i] + "\n";
  return header;
}

// The compiler's diagnostics of each constant, by its index: every warning
// and error of the line that asserts something of it.
std::map<std::size_t, std::string> diagnostics(const std::string& dir, std::size_t count) {
  std::string check = "#include <stdint.h>\nextern int var;\n#include \"consts.h\"\n";
  constexpr std::size_t kFirstLine = 4;
  for (std::size_t i = 0; i < count; ++i)
    check += "_Static_assert(((C" + std::to_string(i) + ") | 1) != 0, \"\");\n";
  std::ofstream(dir + "/check.c") << check;
  const std::string command =
      "cd " + dir +
      " && cc -std=gnu17 -fsyntax-only -fmax-errors=0 -pedantic -Wshift-overflow=2"
      " -Wshift-negative-value -fno-diagnostics-show-caret -ftrack-macro-expansion=0 check.c 2>check.err";
  (void)std::system(command.c_str());
  std::map<std::size_t, std::string> found;
  for (const std::string& line : lines_of(read_file(dir + "/check.err"))) {
    if (line.rfind("check.c:", 0) != 0) continue;
    const std::size_t number = std::strtoul(line.c_str() + 8, nullptr, 10);
    if (number >= kFirstLine && number < kFirstLine + count) found[number - kFirstLine] += line + "\n";
  }
  return found;
}

// What the value of a constant must be.
enum class Verdict {
  none,    // no integer constant expression
  either,  // none, or the value the program prints
  value,   // the value the program prints
};

// gcc is the judge of what is a constant, but for two known lapses of its:
// a variable or a floating constant that folding drops (`var * 0`, `!1.5`)
// passes, and an undefined operation where it is not evaluated
// (`1 ? 2 : -(1 << 40)`) counts against some texts. C makes the first no
// constant and the second one.
Verdict verdict_of(bool form_allows, const std::string& diagnostics) {
  if (!form_allows) return Verdict::none;
  if (diagnostics.empty()) return Verdict::value;
  std::size_t lines = 0;
  for (char c : diagnostics) lines += c == '\n';
  const bool only_pedantic =
      lines == 1 &&
      diagnostics.find("is not an integer constant expression [-Wpedantic]") != std::string::npos;
  return only_pedantic ? Verdict::either : Verdict::none;
}

// What a C program prints for each constant that has a value: "$v|$h".
std::map<std::size_t, std::string> printed_values(const std::string& dir,
                                                  const std::vector<Verdict>& verdicts) {
  std::string program =
      "#include <stdint.h>\n#include <stdio.h>\n#include \"consts.h\"\n"
      "int var;\n"
      "static void show(int is_signed, intmax_t s, uintmax_t u, unsigned bits) {\n"
      "  if (is_signed) printf(\"%jd|\", s); else printf(\"%ju|\", u);\n"
      "  printf(\"0x%jX\\n\", bits >= 64 ? u : u & (((uintmax_t)1 << bits) - 1));\n"
      "}\n"
      "#define SHOW(e) show((__typeof__(e))-1 < 0, (intmax_t)(e), (uintmax_t)(e), sizeof(e) * 8)\n"
      "int main(void) {\n";
  std::vector<std::size_t> shown;
  for (std::size_t i = 0; i < verdicts.size(); ++i) {
    if (verdicts[i] == Verdict::none) continue;
    program += "  SHOW(C" + std::to_string(i) + ");\n";
    shown.push_back(i);
  }
  program += "  return 0;\n}\n";
  std::ofstream(dir + "/print.c") << program;
  const std::string command =
      "cd " + dir + " && cc -std=gnu17 -w -o print print.c 2>print.err && ./print >print.out";
  std::map<std::size_t, std::string> values;
  if (std::system(command.c_str()) != 0) {
    ADD_FAILURE() << "the program that prints the constants failed:\n" << read_file(dir + "/print.err");
    return values;
  }
  const std::vector<std::string> lines = lines_of(read_file(dir + "/print.out"));
  for (std::size_t k = 0; k < shown.size() && k < lines.size(); ++k) values[shown[k]] = lines[k];
  return values;
}

TEST(CModeValueDifferential, RandomConstantsHaveTheValuesACompiledProgramPrints) {
  if (std::system("cc --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no cc on this machine";
  ConstantMaker maker(setting("SORNIK_VALUE_SEED", 2718));
  const std::size_t count = setting("SORNIK_VALUE_CONSTANTS", 600);
  std::vector<std::string> expressions;
  std::vector<bool> form_allows;
  for (std::size_t i = 0; i < count; ++i) {
    bool allows = false;
    expressions.push_back(maker.make(1 + static_cast<int>(i % 4), allows));
    form_allows.push_back(allows);
  }
  const std::string header = constants_header(expressions);

  const std::string dir = ::testing::TempDir() + "sornik_values_" + std::to_string(getpid());
  ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
  std::ofstream(dir + "/consts.h") << header;
  const std::map<std::size_t, std::string> diagnosed = diagnostics(dir, count);
  std::vector<Verdict> verdicts;
  for (std::size_t i = 0; i < count; ++i) {
    const auto found = diagnosed.find(i);
    verdicts.push_back(verdict_of(form_allows[i], found == diagnosed.end() ? "" : found->second));
  }
  const std::map<std::size_t, std::string> printed = printed_values(dir, verdicts);
  (void)std::system(("rm -rf " + dir).c_str());

  std::string source = "#include \"consts.h\"\n";
  for (std::size_t i = 0; i < count; ++i) source += "C" + std::to_string(i) + "\n";
  const RunResult run =
      run_in_memory({"--cpp", "-f", "$v|$h", "a.c"}, {{"a.c", source}, {"consts.h", header}});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> ours = lines_of(run.out);
  ASSERT_EQ(ours.size(), count + 1);
  int failures = 0;
  std::size_t valued = 0;
  for (std::size_t i = 0; i < count && failures < 10; ++i) {
    const auto value = printed.find(i);
    const std::string expected = verdicts[i] == Verdict::none || value == printed.end() ? "|" : value->second;
    valued += expected != "|";
    if (ours[i + 1] == expected || (verdicts[i] == Verdict::either && ours[i + 1] == "|")) continue;
    ++failures;
    const auto found = diagnosed.find(i);
    ADD_FAILURE() << "C" << i << " " << expressions[i] << "\n  sornik:   " << ours[i + 1]
                  << "\n  compiler: " << expected << "\n"
                  << (found != diagnosed.end() ? found->second : "");
  }
  std::printf("%zu constants, %zu with a value\n", count, valued);
}

}  // namespace
}  // namespace sornik::testing
