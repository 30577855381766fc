// Tests of the fragment list: the pieces of physical lines that a scan collects.
#include "textual/scan/fragment_list.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace sornik {
namespace {

TEST(FragmentListTest, KeepsEqualEntriesInOrderAndWalksThemOnce) {
  FragmentList lst;
  name_init(lst);
  EXPECT_EQ(get_name(lst, 0), std::nullopt);

  add_name(lst, "a \\\n");
  add_name(lst, "a \\\n");
  add_name(lst, ""s);
  add_name(lst, "x\0y"s);
  EXPECT_EQ(get_name(lst, 0), "a \\\n");
  EXPECT_EQ(get_name(lst, 1), "a \\\n");
  EXPECT_EQ(get_name(lst, 1), "");
  EXPECT_EQ(get_name(lst, 1), "x\0y"s);
  EXPECT_EQ(get_name(lst, 1), std::nullopt);
  EXPECT_EQ(get_name(lst, 1), std::nullopt) << "the cursor stays past the end";
  EXPECT_EQ(get_name(lst, 0), "a \\\n") << "mode 0 starts over";

  del_allname(lst);
  EXPECT_EQ(get_name(lst, 0), std::nullopt);
  add_name(lst, "b");
  EXPECT_EQ(get_name(lst, 0), "b");
}

TEST(FragmentListTest, HugeEntriesAreKeptWholeAndReleasedWhenEmptied) {
  FragmentList lst;
  const std::string huge(1 << 20, 'h');
  add_name(lst, huge);
  add_name(lst, "tail");
  EXPECT_EQ(get_name(lst, 0), huge);
  EXPECT_EQ(get_name(lst, 1), "tail");
  del_allname(lst);
  EXPECT_LT(lst.joined.capacity(), huge.size());
}

}  // namespace
}  // namespace sornik
