// Tests of the exact-match index from a define name to its record.
#include "textual/defines/name_index.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "textual/defines/define_table.h"

namespace sornik {
namespace {

// Stores `names` as entries 0, 1, ... of `table` (which is not sorted).
void fill_table(DefineTable& table, const std::vector<std::string>& names) {
  for (const std::string& name : names) table.keep_name(table.add_define_record(), name);
}

TEST(NameIndex, FindsExactlyTheIndexedNames) {
  const std::vector<std::string> names = {"A", "A1", "AB", "OBJ_00001", "x", std::string(40, 'L') + "y", "_"};
  DefineTable table;
  fill_table(table, names);
  NameIndex index;
  for (std::size_t entry = 0; entry < names.size(); ++entry)
    EXPECT_EQ(index.insert(table, static_cast<int>(entry)), -1);
  for (std::size_t entry = 0; entry < names.size(); ++entry)
    EXPECT_EQ(index.find(names[entry], table), static_cast<int>(entry));
  // Same first byte, last byte and length as an indexed name, or a length
  // that differs by 32: they pass the bitmap and must still be told apart.
  const std::vector<std::string> misses = {"OBJ_00011",
                                           "OBJ_10001",
                                           "AC",
                                           "a",
                                           "",
                                           "A" + std::string(31, 'z') + "1",
                                           std::string(8, 'L') + "y",
                                           std::string("x\0", 2)};
  for (const std::string& miss : misses) {
    EXPECT_EQ(index.find(miss, table), -1) << miss;
  }
  index.clear();
  EXPECT_EQ(index.find("A", table), -1);
}

TEST(NameIndex, ReportsTheFirstHolderOfANameAcrossGrowthAndRebuilds) {
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) names.push_back("N" + std::to_string(i));
  names.push_back("N17");
  names.push_back("N2999");
  DefineTable table;
  fill_table(table, names);
  NameIndex index;
  for (int entry = 0; entry < 3000; ++entry) ASSERT_EQ(index.insert(table, entry), -1);
  EXPECT_EQ(index.insert(table, 3000), 17);
  EXPECT_EQ(index.insert(table, 3001), 2999);

  // Entry e moves to 2999 - e; the repeated names are left out.
  index.drop_slots();
  EXPECT_EQ(index.find("N0", table), -1);
  std::reverse(&table.chg_tbl(0), &table.chg_tbl(0) + 3000);
  index.rebuild(table, 3000);
  EXPECT_EQ(index.find("N0", table), 2999);
  EXPECT_EQ(index.find("N17", table), 2982);
  EXPECT_EQ(index.find("N2999", table), 0);
  EXPECT_EQ(index.find("N3000", table), -1);
  EXPECT_EQ(index.insert(table, 3000), 2982) << "inserts go on after a rebuild";
}

}  // namespace
}  // namespace sornik
