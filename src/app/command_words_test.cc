#include "app/command_words.h"

#include <gtest/gtest.h>

namespace sornik {
namespace {

// The words joined by "|", or "none" for a command that cannot be cut.
std::string words(std::string_view command) {
  const std::optional<std::vector<std::string>> cut = split_command_words(command);
  if (!cut) return "none";
  std::string joined;
  for (const std::string& word : *cut) joined += word + "|";
  return joined;
}

TEST(CommandWords, BlankRunsSeparateWordsAndEndsAreTrimmed) {
  EXPECT_EQ(words("  cc\t-c  a.c \n"), "cc|-c|a.c|");
  EXPECT_EQ(words(""), "");
  EXPECT_EQ(words(" \t "), "");
}

TEST(CommandWords, QuotesKeepBlanksAndJoinWithNeighbours) {
  EXPECT_EQ(words("cc '-DA=a b' x"), "cc|-DA=a b|x|");
  EXPECT_EQ(words("-D'A'\"=1 2\"z"), "-DA=1 2z|");
  // Single quotes keep a backslash and a double quote as they are.
  EXPECT_EQ(words(R"('a\"b')"), R"(a\"b|)");
  // An empty pair of quotes is a word.
  EXPECT_EQ(words("a '' \"\" b"), "a|||b|");
}

TEST(CommandWords, BackslashesAsTheShellTakesThem) {
  EXPECT_EQ(words(R"(-DS=\"x\" a\ b)"), R"(-DS="x"|a b|)");
  // Inside double quotes only $ ` " \ and a newline are escaped.
  EXPECT_EQ(words(R"("\"\\\$\n")"), R"("\$\n|)");
  EXPECT_EQ(words("a\\\nb c"), "ab|c|");
  EXPECT_EQ(words("\"a\\\nb\""), "ab|");
}

TEST(CommandWords, OpenQuotesAndALoneFinalBackslashAreRefused) {
  EXPECT_EQ(words("cc 'a"), "none");
  EXPECT_EQ(words("cc \"a\\\""), "none");
  EXPECT_EQ(words("cc a\\"), "none");
  EXPECT_EQ(words("cc 'a'"), "cc|a|");
}

}  // namespace
}  // namespace sornik
