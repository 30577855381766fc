#include "defines/name_index.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "defines/define_table.h"

namespace sornik {
namespace {

TEST(NameIndex, FindsExactlyTheIndexedNames) {
  std::deque<DefineEntry> entries;
  std::vector<DefineEntry*> table;
  std::deque<std::string> names = {"A", "A1", "AB", "OBJ_00001", "x", std::string(40, 'L') + "y", "_"};
  for (const std::string& name : names) table.push_back(&entries.emplace_back(DefineEntry{name, {}, "", 0}));
  NameIndex index;
  index.build(table.data(), static_cast<int>(table.size()));
  for (std::size_t entry = 0; entry < names.size(); ++entry) EXPECT_EQ(index.find(names[entry]), static_cast<int>(entry));
  // Same first byte, last byte and length as an indexed name, or a length
  // that differs by 32: they pass the bitmap and must still be told apart.
  const std::vector<std::string> misses = {"OBJ_00011", "OBJ_10001", "AC", "a", "",
                                           "A" + std::string(31, 'z') + "1", std::string(8, 'L') + "y",
                                           std::string("x\0", 2)};
  for (const std::string& miss : misses) {
    EXPECT_EQ(index.find(miss), -1) << miss;
  }
  index.clear();
  EXPECT_EQ(index.find("A"), -1);
}

}  // namespace
}  // namespace sornik
