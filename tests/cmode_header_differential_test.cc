// Generated header sets compared with the C compiler's preprocessor: what
// `sornik --cpp --print-defines` lists must be what `gcc -dM -E` lists for
// the same files. SORNIK_DIFFERENTIAL_ROUNDS makes a longer run.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "captured_io.h"

namespace sornik {
namespace {

using Files = std::map<std::string, std::string>;

int rounds(int fallback) {
  const char* value = std::getenv("SORNIK_DIFFERENTIAL_ROUNDS");
  return value != nullptr ? std::atoi(value) : fallback;
}

bool have_gcc() { return std::system("gcc --version >/dev/null 2>&1") == 0; }

// The "#define" lines of a listing, without those of predefined macros.
std::set<std::string> defines(const std::string& listing) {
  std::set<std::string> lines;
  std::size_t pos = 0;
  while (pos < listing.size()) {
    std::size_t end = listing.find('\n', pos);
    if (end == std::string::npos) end = listing.size();
    const std::string line = listing.substr(pos, end - pos);
    if (line.rfind("#define __STDC", 0) != 0) lines.insert(line);
    pos = end + 1;
  }
  return lines;
}

// What gcc lists for `top` with the files written to a fresh directory.
std::set<std::string> gcc_defines(const Files& files, const std::string& top, const std::string& options) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("sornik-differential-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  for (const auto& [name, text] : files) {
    const std::filesystem::path path = dir / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  const std::string command =
      "cd '" + dir.string() + "' && gcc -undef -nostdinc " + options + " -dM -E -x c " + top + " 2>/dev/null";
  std::string listing;
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, pipe)) > 0) listing.append(block, got);
    ::pclose(pipe);
  }
  std::filesystem::remove_all(dir);
  return defines(listing);
}

std::set<std::string> sornik_defines(const Files& files, const std::string& top,
                                     std::vector<std::string> options) {
  std::vector<std::string> args = {"--cpp", "-undef", "-nostdinc"};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), {"--print-defines", "-d", top});
  return defines(testing::run_in_memory(args, files).out);
}

// Random #if expressions over every operator, constant form and `defined`.
class ExpressionMaker {
 public:
  explicit ExpressionMaker(unsigned seed) : random_(seed) {}

  std::string make(int depth) {
    if (depth == 0 || pick(10) < 3) return atom();
    switch (pick(6)) {
      case 0: return kUnary[pick(std::size(kUnary))] + std::string(" ") + make(depth - 1);
      case 1: return "(" + make(depth - 1) + ")";
      case 2: return make(depth - 1) + " ? " + make(depth - 1) + " : " + make(depth - 1);
      case 3: return "(" + make(depth - 1) + ", " + make(depth - 1) + ")";
      default: {
        // A division by zero makes the C compiler go on with the left operand
        // while the C mode counts the group as not taken: divisors are never 0.
        const std::string op = kBinary[pick(std::size(kBinary))];
        if (op == "/" || op == "%")
          return make(depth - 1) + " " + op + " " + kDivisors[pick(std::size(kDivisors))];
        return make(depth - 1) + " " + op + " " + make(depth - 1);
      }
    }
  }

 private:
  static constexpr const char* kUnary[] = {"-", "+", "~", "!"};
  static constexpr const char* kBinary[] = {"*",  "/",  "%",  "+",  "-", "<<", ">>", "<",  ">",
                                            "<=", ">=", "==", "!=", "&", "^",  "|",  "&&", "||"};
  static constexpr const char* kDivisors[] = {"7", "-3", "2u", "'a'", "(1 ? 5 : 0)"};
  static constexpr const char* kAtoms[] = {"0",
                                           "1",
                                           "2",
                                           "7",
                                           "63",
                                           "64",
                                           "255",
                                           "0x7fffffffffffffff",
                                           "9223372036854775807",
                                           "18446744073709551615",
                                           "0xffffffffffffffff",
                                           "0x10",
                                           "010",
                                           "0b101",
                                           "3u",
                                           "5U",
                                           "4l",
                                           "6LL",
                                           "7ull",
                                           "1lu",
                                           "'a'",
                                           "'\\n'",
                                           "'\\377'",
                                           "'\\x41'",
                                           "'ab'",
                                           "L'x'",
                                           "L'\\xffffffff'",
                                           "u'\\xffff'",
                                           "U'a'",
                                           "'\\0'",
                                           "'\\''",
                                           "defined A",
                                           "defined(B)",
                                           "defined UNDEFINED",
                                           "defined ( C )",
                                           "NOT_A_MACRO"};

  std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
  std::string atom() { return kAtoms[pick(std::size(kAtoms))]; }

  std::mt19937 random_;
};

TEST(CppDifferential, RandomConditionsDecideAsTheCompiler) {
  if (!have_gcc()) GTEST_SKIP() << "gcc is not installed";
  const int count = rounds(1) * 300;
  ExpressionMaker maker(20261207);
  std::string header = "#define A 0\n#define B\n#define C 3\n";
  std::vector<std::string> expressions;
  for (int i = 0; i < count; ++i) {
    expressions.push_back(maker.make(4));
    header += "#if " + expressions.back() + "\n#define R" + std::to_string(i) + "\n#endif\n";
  }
  const Files files = {{"h.h", header}};
  const std::set<std::string> ours = sornik_defines(files, "h.h", {});
  const std::set<std::string> theirs = gcc_defines(files, "h.h", "");
  for (int i = 0; i < count; ++i) {
    const std::string line = "#define R" + std::to_string(i) + " ";
    EXPECT_EQ(ours.contains(line), theirs.contains(line))
        << "#if " << expressions[static_cast<std::size_t>(i)];
  }
  EXPECT_EQ(ours.size(), theirs.size());
}

// A random set of headers in two include directories: guards, #pragma once,
// include chains, #include_next, __has_include, conditionals on what earlier
// headers defined, redefinitions and #undef.
Files make_header_set(std::mt19937& random) {
  const auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
  };
  const int count = 8;
  const auto name = [](std::size_t i) {
    return "h" + std::to_string(i) + ".h";
  };
  const auto macro = [&]() {
    return "M" + std::to_string(pick(6));
  };
  Files files;
  std::string top;
  for (int i = 0; i < count; ++i) top += "#include \"" + name(static_cast<std::size_t>(i)) + "\"\n";
  top += "#include \"h0.h\"\n#include <h3.h>\n";
  files["top.h"] = top;
  for (int i = 0; i < count; ++i) {
    std::string text;
    const std::size_t protection = pick(3);
    const std::string guard = "GUARD_" + std::to_string(i);
    if (protection == 0) text += "/* guarded */\n#ifndef " + guard + "\n#define " + guard + "\n";
    if (protection == 1) text += "#pragma once\n";
    for (int line = 0; line < 6; ++line) {
      switch (pick(9)) {
        case 0: text += "#define " + macro() + " " + std::to_string(pick(3)) + "\n"; break;
        case 1: text += "#undef " + macro() + "\n"; break;
        case 2:
          text += "#ifdef " + macro() + "\n#define SEEN_" + std::to_string(i) + "_" + std::to_string(line) +
                  "\n#endif\n";
          break;
        case 3:
          text += "#if defined " + macro() + " && !defined " + macro() + "\n#define BOTH_" +
                  std::to_string(i) + "\n#elif defined " + macro() + "\n#define ELIF_" + std::to_string(i) +
                  "\n#else\n#define ELSE_" + std::to_string(i) + "\n#endif\n";
          break;
        case 4: {
          // Only later headers, or protected ones, so that includes end.
          const std::size_t target = static_cast<std::size_t>(i) + 1 + pick(3);
          if (target < static_cast<std::size_t>(count)) text += "#include \"" + name(target) + "\"\n";
          break;
        }
        case 5:
          text += "#if __has_include(<" + name(pick(count + 3)) +
                  ">) && !__has_include(\"nothere.h\")\n#define HAS_" + std::to_string(i) + "_" +
                  std::to_string(line) + "\n#endif\n";
          break;
        case 6:
          text +=
              "#define F" + std::to_string(pick(3)) + "(a, b...) a ## b " + std::to_string(pick(2)) + "\n";
          break;
        case 7: text += "#define " + macro() + "_N " + std::to_string(i) + "\n"; break;
        default: text += "int x" + std::to_string(line) + ";\n"; break;
      }
    }
    if (protection == 0) text += "#endif /* " + guard + " */\n";
    files["first/" + name(static_cast<std::size_t>(i))] = text;
  }
  // A second h3.h that the first reaches with #include_next.
  files["first/h3.h"] += "#define BEFORE_NEXT\n#include_next <h3.h>\n";
  files["second/h3.h"] = "#ifndef SECOND_H3\n#define SECOND_H3\n#define FROM_SECOND 1\n#endif\n";
  return files;
}

TEST(CppDifferential, GeneratedHeaderSetsDefineWhatTheCompilerDefines) {
  if (!have_gcc()) GTEST_SKIP() << "gcc is not installed";
  std::mt19937 random(7);
  const int count = rounds(1) * 40;
  for (int round = 0; round < count; ++round) {
    Files files = make_header_set(random);
    // top.h is found beside nothing: it includes through -I.
    files["first/top.h"] = files["top.h"];
    files.erase("top.h");
    const std::set<std::string> ours = sornik_defines(files, "first/top.h", {"-Ifirst", "-Isecond"});
    const std::set<std::string> theirs = gcc_defines(files, "first/top.h", "-Ifirst -Isecond");
    ASSERT_EQ(ours, theirs) << "round " << round;
  }
}

}  // namespace
}  // namespace sornik
