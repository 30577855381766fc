// __has_attribute, __has_builtin, __has_c_attribute and __has_cpp_attribute
// compared with the C compiler's preprocessor, for several hundred names:
// common and rare attributes and builtins, every standard attribute, scoped
// names, names behind macros and misspelt names, in #if and in code lines.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "captured_io.h"
#include "cmode/facts/configured_facts.h"

namespace sornik {
namespace {

// Tests beyond the common ones that a first run asks together: asked one
// by one, and not all known to the compiler.
const std::vector<std::string> kMoreTests = {
    "__has_attribute(unsued)",
    "__has_attribute(__noreturn)",
    "__has_attribute(noretrun)",
    "__has_attribute(always_inlin)",
    "__has_attribute(gnu::unused)",
    "__has_attribute(gnu::bogus)",
    "__has_attribute(clang::fallthrough)",
    "__has_attribute(NONNULL)",
    "__has_attribute(__packed__)",
    "__has_attribute(aligned_)",
    "__has_attribute(no_sanitize_memory)",
    "__has_attribute(nodiscard)",
    "__has_attribute(maybe_unused)",
    "__has_attribute(deprecatd)",
    "__has_attribute(cleanup_)",
    "__has_attribute(ms_struct)",
    "__has_attribute(gcc_struct)",
    "__has_attribute(stack_protect)",
    "__has_builtin(__builtin_expct)",
    "__has_builtin(builtin_expect)",
    "__has_builtin(__builtin_ia32_rdtsc)",
    "__has_builtin(__builtin_ia32_lfence)",
    "__has_builtin(__builtin_nonexistent)",
    "__has_builtin(printf)",
    "__has_builtin(__builtin_printf_)",
    "__has_builtin(__builtin_ctzg)",
    "__has_builtin(__builtin_clzg)",
    "__has_builtin(__builtin_stdc_leading_zeros)",
    "__has_builtin(__builtin_tgmath)",
    "__has_builtin(__builtin_goacc_parlevel_id)",
    "__has_builtin(__builtin_va_start)",
    "__has_builtin(__builtin_va_end)",
    "__has_c_attribute(nodiscrad)",
    "__has_c_attribute(likely)",
    "__has_c_attribute(gnu::packed)",
    "__has_c_attribute(__nodiscard__)",
    "__has_c_attribute(__deprecated__)",
    "__has_c_attribute(gnu::bogus)",
    "__has_cpp_attribute(nodiscard)",
    "__has_cpp_attribute(likely)",
    "__has_cpp_attribute(no_unique_adress)",
    "__has_cpp_attribute(gnu::packed)",
    "__has_cpp_attribute(__fallthrough__)",
};

// The source: each test in a code line, and in #if lines whose groups
// define what a code line shows; names behind macros too.
std::string probe_source(const std::vector<std::string>& tests) {
  std::string source =
      "#define ATTR_NAME unused\n#define BUILTIN_NAME __builtin_expect\n#define SELF SELF\n"
      "a = __has_attribute(ATTR_NAME) __has_builtin(BUILTIN_NAME) __has_attribute(SELF);\n"
      "#if __has_attribute(ATTR_NAME) && __has_builtin(BUILTIN_NAME)\n#define BEHIND 1\n#endif\nbehind = "
      "BEHIND;\n"
      "b = __has_attribute ( gnu :: unused ) __has_c_attribute( nodiscard );\n";
  for (std::size_t i = 0; i < tests.size(); ++i) {
    const std::string n = std::to_string(i);
    source += "t" + n + " = " + tests[i] + ";\n";
    source += "#if " + tests[i] + "\n#define R" + n + " yes\n#else\n#define R" + n + " no\n#endif\n";
    source += "#if " + tests[i] + " > 1\n#undef R" + n + "\n#define R" + n + " large\n#endif\n";
    source += "r" + n + " = R" + n + ";\n";
  }
  return source;
}

// The non-blank lines of a text.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.find_first_not_of(" \t") != std::string::npos) lines.push_back(line);
  }
  return lines;
}

TEST(CModeFeatureTests, AnswerAsTheCompilerForEveryName) {
  if (std::system("gcc --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no gcc on this machine";
  std::vector<std::string> tests = cmode::common_feature_tests();
  tests.insert(tests.end(), kMoreTests.begin(), kMoreTests.end());
  ASSERT_GE(tests.size(), 300u);
  const std::string source = probe_source(tests);

  const std::string path = ::testing::TempDir() + "sornik_feature_tests_" + std::to_string(getpid()) + ".c";
  std::ofstream(path, std::ios::binary) << source;
  std::string expected;
  if (std::FILE* pipe = popen(("gcc -E -P " + path + " 2>/dev/null").c_str(), "r")) {
    char block[4096];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, pipe)) > 0;) expected.append(block, got);
    pclose(pipe);
  }
  std::filesystem::remove(path);

  const testing::RunResult ours =
      testing::run_in_memory({"--cpp", "--compiler=gcc", "-nostdinc", "-f", "$x", "t.c"}, {{"t.c", source}});
  EXPECT_EQ(ours.err, "");
  std::vector<std::string> code;
  for (const std::string& line : lines_of(ours.out)) {
    if (!line.starts_with("#")) code.push_back(line);
  }
  const std::vector<std::string> oracle = lines_of(expected);
  // A line for each test and one for its #if, and the lines of names behind macros.
  ASSERT_EQ(oracle.size(), 2 * tests.size() + 3);
  ASSERT_EQ(code.size(), oracle.size());
  for (std::size_t i = 0; i < code.size(); ++i) EXPECT_EQ(code[i], oracle[i]);
  EXPECT_EQ(oracle[0], "a = 1 1 0;");
}

}  // namespace
}  // namespace sornik
