#include "render/final_texts.h"

#include <gtest/gtest.h>

#include "marked_text.h"

namespace sornik {
namespace {

using testing::marked;

TEST(FinalTexts, EachGroupReadsAsItsExpansionWithNestedGroupsFinal) {
  // A(B) expands to "1 + B'" whose B expands to "2"; C stands alone; the
  // name text of D holds E, whose final text lies outside D's.
  const std::string text = marked("x {3}A(B){1}1 + {3}B{1}2{4}{1}{2}{2} {3}C{1}{2} {3}D{3}E{1}e{2}{1}d{2}");
  MarkedGroups groups;
  groups.read(text);
  FinalTexts finals;
  finals.read(text, groups);
  ASSERT_EQ(groups.size(), 5u);
  EXPECT_EQ(finals.of(0), "1 + 2\x01");
  EXPECT_EQ(finals.of(1), "2\x01");
  EXPECT_EQ(finals.of(2), "");
  EXPECT_EQ(finals.of(3), "d");
  EXPECT_EQ(finals.of(4), "e");
}

TEST(FinalTexts, DeepNestingAndOpenGroups) {
  constexpr int kDepth = 50'000;
  std::string text;
  for (int level = 0; level < kDepth; ++level) text += marked("{3}N{1}(");
  text += "x";
  for (int level = 0; level < kDepth; ++level) text += marked("){2}");
  MarkedGroups groups;
  groups.read(text);
  FinalTexts finals;
  finals.read(text, groups);
  EXPECT_EQ(finals.of(kDepth - 1), "(x)");
  EXPECT_EQ(finals.of(0).size(), 2u * kDepth + 1);
  // A group the text ends in ends with it.
  groups.read(marked("{3}N{1}a{3}M{1}b"));
  finals.read(marked("{3}N{1}a{3}M{1}b"), groups);
  EXPECT_EQ(finals.of(0), "ab");
  EXPECT_EQ(finals.of(1), "b");
}

}  // namespace
}  // namespace sornik
