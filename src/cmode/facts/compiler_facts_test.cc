// Tests of splitting compiler commands and reading what compilers print.
#include "cmode/facts/compiler_facts.h"

#include <gtest/gtest.h>

namespace sornik::cmode {
namespace {

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += "[" + word + "]";
  return text;
}

TEST(CompilerFacts, SplitsACommandIntoWords) {
  EXPECT_EQ(joined(command_words("gcc")), "[gcc]");
  EXPECT_EQ(joined(command_words("  ccache\tarm-none-eabi-gcc  -mcpu=cortex-m4 ")),
            "[ccache][arm-none-eabi-gcc][-mcpu=cortex-m4]");
  EXPECT_EQ(joined(command_words("'/opt/my tools/cc' -D'A B' \"-DC=\\\"x\\\"\" a\\ b")),
            "[/opt/my tools/cc][-DA B][-DC=\"x\"][a b]");
  EXPECT_EQ(joined(command_words("'it''s' '\\n' \"\"")), "[its][\\n][]");
  EXPECT_EQ(joined(command_words("")), "");
  EXPECT_EQ(joined(command_words("cc 'open")), "[cc][open]");
}

TEST(CompilerFacts, AsksInTheRequestsLanguageAndStandard) {
  FactsRequest request;
  EXPECT_EQ(joined(facts_arguments(request)), "[-x][c][-dM][-E][-v][-]");
  request.language = SourceLanguage::cxx;
  request.standard = "gnu++20";
  request.flags = {"-nostdinc", "-m32"};
  EXPECT_EQ(joined(facts_arguments(request)), "[-x][c++][-std=gnu++20][-nostdinc][-m32][-dM][-E][-v][-]");
  EXPECT_EQ(joined(probe_arguments(request)), "[-x][c++][-std=gnu++20][-nostdinc][-m32][-E][-P][-]");
}

TEST(CompilerFacts, ReadsBothSearchListsOfTheReport) {
  const std::string report =
      "Using built-in specs.\n"
      "ignoring nonexistent directory \"/usr/local/include/x86_64-linux-gnu\"\n"
      "#include \"...\" search starts here:\n"
      " /work/quoted\n"
      "#include <...> search starts here:\n"
      " /usr/lib/gcc/x86_64-linux-gnu/12/include\n"
      " /usr/include\r\n"
      " /System/Library/Frameworks (framework directory)\n"
      "End of search list.\n"
      " /not/a/directory/of/the/list\n";
  CompilerFacts facts;
  ASSERT_TRUE(read_search_list(report, facts));
  EXPECT_EQ(joined(facts.quote_dirs), "[/work/quoted]");
  EXPECT_EQ(joined(facts.system_dirs), "[/usr/lib/gcc/x86_64-linux-gnu/12/include][/usr/include]");

  CompilerFacts none;
  EXPECT_FALSE(read_search_list("cc: error: unrecognized option\n", none));
  // A list cut short before its end is no answer.
  EXPECT_FALSE(read_search_list("#include <...> search starts here:\n /usr/include\n", none));
  EXPECT_FALSE(read_search_list("#include \"...\" search starts here:\nEnd of search list.\n", none));
}

TEST(CompilerFacts, ReadsTheAnswersOfAProbe) {
  const std::vector<std::string> tests = {
      "__has_attribute(unused)", "__has_c_attribute(nodiscard)", "__has_cpp_attribute(nodiscard)",
      "__has_builtin(gnu::x)",   "__has_builtin(lost)",          "__has_attribute(odd)"};
  EXPECT_EQ(feature_probe(tests),
            "0 __has_attribute(unused)\n1 __has_c_attribute(nodiscard)\n2 __has_cpp_attribute(nodiscard)\n"
            "3 __has_builtin(gnu::x)\n4 __has_builtin(lost)\n5 __has_attribute(odd)\n");
  // As compilers expand it: a line per test, an operator they do not know
  // left as it is, a line they found wrong still numbered; one missing.
  const std::string expanded =
      "0 1\n1 202003\n2 __has_cpp_attribute(nodiscard)\n  3 0\n5 1 + 1\n7 1\nnoise\n\n";
  CompilerFacts facts;
  facts.features.set("__has_attribute(unused)", "0");
  read_feature_probe(expanded, tests, facts);
  EXPECT_EQ(
      facts.features.lines(),
      "__has_attribute(odd) 0\n__has_attribute(unused) 1\n__has_builtin(gnu::x) 0\n__has_builtin(lost) 0\n"
      "__has_c_attribute(nodiscard) 202003\n__has_cpp_attribute(nodiscard) \n");
}

TEST(CompilerFacts, FindsTheFeatureTestsOfAText) {
  const std::string text =
      "#if __has_attribute(unused) && __has_attribute (  gnu::cold )\n"
      "# define X __glibc_has_attribute (__nonnull__) + HAS_BUILTIN(__builtin_expect)\n"
      "#elif __has_c_attribute(nodiscard) || __has_cpp_attribute(fallthrough) || __has_attribute(unused)\n"
      "  has_builtin(x)  __has_attributes(y) __has_attribute(1x) __has_attribute(a b) __has_attribute()\n"
      "  __has_attribute(::x) __has_attribute(x::) __has_builtin(__builtin_trap\n"
      "#define HAS(x) __has_attribute(x)\n"
      "__has_builtin(end)";
  EXPECT_EQ(
      joined(feature_tests_in(text)),
      "[__has_attribute(unused)][__has_attribute(gnu::cold)][__has_attribute(__nonnull__)]"
      "[__has_builtin(__builtin_expect)][__has_c_attribute(nodiscard)][__has_cpp_attribute(fallthrough)]"
      "[__has_builtin(x)][__has_attribute(x)][__has_builtin(end)]");
  EXPECT_EQ(joined(feature_tests_in("")), "");
  EXPECT_EQ(joined(feature_tests_in("has_")), "");
  EXPECT_EQ(joined(feature_tests_in("__has_builtin")), "");
}

}  // namespace
}  // namespace sornik::cmode
