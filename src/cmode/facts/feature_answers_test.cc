// Tests of feature answers: lookups in the lines read, answers given since, and the lines written back.
#include "cmode/facts/feature_answers.h"

#include <gtest/gtest.h>

namespace sornik::cmode {
namespace {

TEST(FeatureAnswers, FindsEveryLineReadAndNothingBetween) {
  FeatureAnswers answers;
  const std::string lines =
      "__has_attribute(a) 1\n__has_attribute(c) 0\n__has_builtin(x) 1\n__has_c_attribute(n) 202003\n"
      "__has_cpp_attribute(z) \n";
  ASSERT_TRUE(answers.read_lines(lines));
  EXPECT_EQ(answers.size(), 5u);
  EXPECT_EQ(answers.find("__has_attribute(a)"), "1");
  EXPECT_EQ(answers.find("__has_attribute(c)"), "0");
  EXPECT_EQ(answers.find("__has_c_attribute(n)"), "202003");
  EXPECT_EQ(answers.find("__has_cpp_attribute(z)"), "");
  // Before the first, between two, after the last, and a prefix of one.
  for (std::string_view absent : {"__has_attribute(", "__has_attribute(b)", "__has_cpp_attribute(zz)",
                                  "__has_attribute", "__has_attribute(a) 1", "~"}) {
    EXPECT_FALSE(answers.find(absent).has_value()) << absent;
  }
  EXPECT_EQ(answers.lines(), lines);
}

TEST(FeatureAnswers, AnswersGivenSinceTakeThePlaceOfThoseRead) {
  FeatureAnswers answers;
  ASSERT_TRUE(answers.read_lines("__has_attribute(b) 1\n__has_attribute(d) 1\n"));
  answers.set("__has_attribute(d)", "0");
  answers.set("__has_attribute(a)", "1");
  answers.set("__has_attribute(c)", "1");
  answers.set("__has_attribute(e)", "");
  EXPECT_EQ(answers.find("__has_attribute(d)"), "0");
  EXPECT_EQ(answers.size(), 5u);
  EXPECT_EQ(answers.lines(),
            "__has_attribute(a) 1\n__has_attribute(b) 1\n__has_attribute(c) 1\n__has_attribute(d) 0\n"
            "__has_attribute(e) \n");
  FeatureAnswers again;
  ASSERT_TRUE(again.read_lines(answers.lines()));
  EXPECT_EQ(again, answers);
}

TEST(FeatureAnswers, RefusesLinesItDidNotWrite) {
  FeatureAnswers answers;
  answers.set("kept", "1");
  for (const char* bad : {"no_answer\n", "a 1\nb 1", " 1\n", "b 1\na 1\n", "a 1\na 0\n"}) {
    EXPECT_FALSE(answers.read_lines(bad)) << bad;
    EXPECT_EQ(answers.find("kept"), "1");
  }
  EXPECT_TRUE(answers.read_lines(""));
  EXPECT_EQ(answers.size(), 0u);
}

}  // namespace
}  // namespace sornik::cmode
