#include "render/marked_groups.h"

#include <gtest/gtest.h>
#include <string>

#include "marked_text.h"

namespace sornik {
namespace {

using testing::marked;

TEST(MarkedGroups, NestedGroupsFollowTheirGroupInTheTable) {
  // An escaped separator in the name, two levels nested in the expansion.
  const std::string text = marked("x{3}A{4}{1}{1}1 {3}B{1}{3}C{1}2{2}{2} 3{2}y");
  MarkedGroups groups;
  groups.read(text);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].start, 1u);
  EXPECT_EQ(groups[0].separator, 5u);
  EXPECT_EQ(groups[0].end, text.size() - 2);
  EXPECT_EQ(groups[0].first_expansion_group, 1u);
  EXPECT_EQ(groups[0].after, 3u);
  EXPECT_EQ(groups[1].start, 8u);
  EXPECT_EQ(groups[1].after, 3u);
  EXPECT_EQ(groups[2].first_expansion_group, 3u);
  EXPECT_EQ(text.substr(groups[2].expansion_begin(), groups[2].end - groups[2].expansion_begin()), "2");
}

TEST(MarkedGroups, BalanceDecidesSeparatorAndEnd) {
  MarkedGroups groups;
  // In the name an end mark lowers the balance: the separator that brings it
  // back to 0 is stray, the next one divides. In the expansion a stray
  // separator pairs with the first end mark.
  const std::string text = marked("{3}a{2}b{1}c{1}d{1}e{2}f{2}g");
  groups.read(text);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0].separator, 6u);
  EXPECT_EQ(groups[0].end, 12u);
  // Marks outside every group make none.
  groups.read(marked("{2}a{1}b{4}{3}"));
  EXPECT_EQ(groups.size(), 0u);
}

TEST(MarkedGroups, OpenGroupsEndWithTheText) {
  MarkedGroups groups;
  const std::string text = marked("{3}N{1}a{3}M");
  groups.read(text);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].end, text.size());
  EXPECT_EQ(groups[0].after, 2u);
  // No separator: all of it is name, the expansion is empty.
  EXPECT_EQ(groups[1].separator, text.size());
  EXPECT_EQ(groups[1].expansion_begin(), text.size());
  EXPECT_EQ(groups[1].first_expansion_group, 2u);
  // A group in a name text takes the marks up to its own end.
  groups.read(marked("{3}N{3}M{1}m{2}{1}x{2}"));
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].separator, 7u);
  EXPECT_EQ(groups[0].first_expansion_group, 2u);
  EXPECT_EQ(groups[1].end, 6u);
}

}  // namespace
}  // namespace sornik
