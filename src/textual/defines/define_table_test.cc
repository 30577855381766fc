// Tests of the define table of a run: 16-byte records, their texts and the name
// index, filled by the reader and sorted before the sources are expanded.
#include "textual/defines/define_table.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "captured_io.h"
#include "common/fatal.h"

using namespace std::string_literals;

namespace sornik {
namespace {

class DefineTableTest : public ::testing::Test {
 protected:
  // Adds records named `names` after those already there, as the reader does.
  void load(const std::vector<std::string>& names) { load_into(table_, names); }
  static void load_into(DefineTable& table, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      table.keep_name(table.add_define_record(), name);
      EXPECT_FALSE(table.name_loaded_before(table.def_cnt() - 1)) << name;
    }
  }

  std::vector<std::string> table_names() const { return names_of(table_); }
  static std::vector<std::string> names_of(const DefineTable& table) {
    std::vector<std::string> names;
    for (int i = 0; i < table.def_cnt(); ++i) names.emplace_back(table.name(table.chg_tbl(i)));
    return names;
  }

  std::string_view name(int index) const { return table_.name(table_.chg_tbl(index)); }
  std::optional<std::string_view> params(int index) const { return table_.params(table_.chg_tbl(index)); }
  std::string_view body(int index) const { return table_.body(table_.chg_tbl(index)); }

  // The specified lookup: a binary search with strcmp's order.
  int binary_search(std::string_view name) const {
    int low = 0;
    int high = table_.def_cnt() - 1;
    while (low <= high) {
      const int middle = (low + high) / 2;
      const int order = name.compare(this->name(middle));
      if (order == 0) return middle;
      if (order < 0) {
        high = middle - 1;
      } else {
        low = middle + 1;
      }
    }
    return -1;
  }

  DefineTable table_;
};

TEST_F(DefineTableTest, SortsInUnsignedByteOrder) {
  load({"abc", "_x", "Abc", "ABC", "AB", "\xe0z", "AB\0"s, "ABCDEFGHIJ", "ABCDEFGHI", "ABCDEFGH",
        "ABCDEFGH\x80", "ABCDEFGH\x01"});
  table_.sort_defines();
  EXPECT_EQ(table_names(),
            (std::vector<std::string>{"AB", "AB\0"s, "ABC", "ABCDEFGH", "ABCDEFGH\x01", "ABCDEFGHI",
                                      "ABCDEFGHIJ", "ABCDEFGH\x80", "Abc", "_x", "abc", "\xe0z"}));
  for (int i = 0; i < table_.def_cnt(); ++i) EXPECT_EQ(table_.def_check(name(i)), i);
  EXPECT_EQ(table_.def_check("A"), -1) << "before the first name";
  EXPECT_EQ(table_.def_check("\xff"), -1) << "after the last name";
  EXPECT_EQ(table_.def_check("ABCD"), -1);
  EXPECT_EQ(table_.def_check(""), -1);
}

TEST_F(DefineTableTest, HighBytesSortAfterAsciiAtEveryPositionOfThePrefix) {
  // At each of the first eight positions a byte of 0x80 or more comes after
  // every ASCII byte, and the bytes before it still decide first.
  for (std::size_t position = 1; position < 8; ++position) {
    DefineTable table;
    const std::string before(position - 1, 'm');
    load_into(table,
              {"B" + before + "\x01", "A" + before + "\x80", "A" + before + "\xff", "A" + before + "z"});
    table.sort_defines();
    EXPECT_EQ(names_of(table), (std::vector<std::string>{"A" + before + "z", "A" + before + "\x80",
                                                         "A" + before + "\xff", "B" + before + "\x01"}))
        << "high byte at position " << position;
  }
}

TEST_F(DefineTableTest, LookupAgreesWithBinarySearchOnManyNames) {
  // Names with long common prefixes, so that the sort compares whole names.
  std::mt19937 random(5);
  std::vector<std::string> names;
  for (int i = 0; i < 5000; ++i) {
    std::string name = i % 2 == 0 ? "CONFIG_UART_" : "CONFIG_";
    const int extra = 1 + static_cast<int>(random() % 12);
    for (int j = 0; j < extra; ++j) name += static_cast<char>('0' + random() % 75);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  load(names);
  table_.sort_defines();
  const std::vector<std::string> sorted = table_names();
  EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
  std::vector<std::string> probes = names;
  for (const std::string& name : names) {
    probes.push_back(name + "_");
    probes.push_back(name.substr(0, name.size() - 1));
  }
  for (const std::string& probe : probes) EXPECT_EQ(table_.def_check(probe), binary_search(probe)) << probe;
}

TEST_F(DefineTableTest, SortsNamesThatDifferOnlyInPaddingOrDeepInTheName) {
  // Every name of up to seven bytes from "A", "B", NUL and 0xff: names that
  // a zero-padded key cannot tell apart, and ties that go many levels deep.
  std::vector<std::string> names;
  std::mt19937 random(9);
  static constexpr char kBytes[] = {'A', 'B', '\0', '\xff'};
  for (int i = 0; i < 3000; ++i) {
    std::string name(1 + random() % 7, 'A');
    for (char& c : name) c = kBytes[random() % 4];
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  load(names);
  table_.sort_defines();
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::string_view(a) < std::string_view(b);
  });
  EXPECT_EQ(table_names(), names);
  for (int i = 0; i < table_.def_cnt(); ++i) EXPECT_EQ(table_.def_check(name(i)), i);
}

TEST_F(DefineTableTest, SortsLargeTablesByteByByteThroughEveryBucket) {
  // Enough names that whole ranges are sorted a byte at a time, several
  // bytes deep: bytes from NUL to 0xff at every position, names that end
  // inside and just past the eight bytes of a key, and names that differ
  // only in their length.
  std::mt19937 random(23);
  static constexpr char kBytes[] = {'\0', '\x01', 'A', 'B', 'Z', '_', 'a', '\x7f', '\x80', '\xfe', '\xff'};
  std::vector<std::string> names;
  std::vector<std::string> seen;
  for (int i = 0; i < 30000; ++i) {
    std::string name(1 + random() % 18, 'A');
    for (char& c : name) c = kBytes[random() % std::size(kBytes)];
    names.push_back(name);
  }
  for (const std::string prefix : {"PREFIX01", "PREFIX0", "PREFIX012"}) {
    for (int i = 0; i < 3000; ++i)
      names.push_back(prefix + std::string(1 + i % 3, static_cast<char>(i % 256)));
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  std::shuffle(names.begin(), names.end(), random);
  load(names);
  table_.sort_defines();
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::string_view(a) < std::string_view(b);
  });
  EXPECT_EQ(table_names(), names);
  for (int i = 0; i < table_.def_cnt(); i += 97) EXPECT_EQ(table_.def_check(name(i)), i);
}

TEST_F(DefineTableTest, TextsOfARecordStayWhole) {
  // A value kept again, or rewritten longer after other records were stored,
  // moves the name and the parameter text along with it.
  DefineEntry& first = table_.add_define_record();
  table_.keep_name(first, "F", "a, b");
  table_.keep_body(first, "(a)");
  table_.keep_name(table_.add_define_record(), "G");
  table_.keep_body(table_.chg_tbl(1), "1");
  table_.keep_body(table_.chg_tbl(0), "(a) + (b)");
  EXPECT_EQ(name(0), "F");
  EXPECT_EQ(params(0), "a, b");
  EXPECT_EQ(body(0), "(a) + (b)");
  table_.rewrite_body(table_.chg_tbl(1), "22");
  EXPECT_EQ(name(1), "G");
  EXPECT_EQ(params(1), std::nullopt);
  EXPECT_EQ(body(1), "22");
  table_.rewrite_body(table_.chg_tbl(0), "a");
  EXPECT_EQ(body(0), "a") << "a shorter value stays in place";
  EXPECT_EQ(params(0), "a, b");
  // Enough texts to move the block many times over.
  const std::string long_value(100000, 'v');
  for (int i = 2; i < 200; ++i) {
    table_.keep_name(table_.add_define_record(), "N" + std::to_string(i),
                     i % 2 == 0 ? std::optional<std::string_view>("x") : std::nullopt);
    table_.keep_body(table_.chg_tbl(i), long_value);
  }
  EXPECT_EQ(name(0), "F");
  EXPECT_EQ(body(0), "a");
  EXPECT_EQ(name(198), "N198");
  EXPECT_EQ(params(198), "x");
  EXPECT_EQ(body(198), long_value);
  EXPECT_EQ(params(199), std::nullopt);
}

TEST_F(DefineTableTest, NamesAndParameterTextsUpToTheirLimit) {
  const std::string longest(DefineEntry::kSizeLimit - 1, 'N');
  DefineEntry& entry = table_.add_define_record();
  table_.keep_name(entry, longest, longest);
  table_.keep_body(entry, "");
  EXPECT_EQ(table_.name(entry), longest);
  EXPECT_EQ(table_.params(entry), longest);
  EXPECT_EQ(table_.body(entry), "");
  EXPECT_EQ(entry.resolve_cnt(), 0);
  for (const int count : {-1, 3, 0}) {
    entry.set_resolve_cnt(count);
    entry.set_value_use(DefineEntry::ValueUse::kRescanned);
    EXPECT_EQ(entry.resolve_cnt(), count);
    EXPECT_EQ(entry.value_use(), DefineEntry::ValueUse::kRescanned);
    EXPECT_EQ(table_.params(entry), longest) << "the counts leave the sizes alone";
  }
  const std::string too_long(DefineEntry::kSizeLimit, 'N');
  testing::CapturedIo io;
  EXPECT_THROW(table_.keep_name(table_.add_define_record(), too_long), FatalStop);
  EXPECT_THROW(table_.keep_name(table_.add_define_record(), "P", too_long), FatalStop);
  EXPECT_EQ(io.err(), "cannot get memory\ncannot get memory\n");
}

TEST_F(DefineTableTest, RepeatedNamesAreFoundWhileLoading) {
  load({"A", "B"});
  table_.keep_name(table_.add_define_record(), "A");
  EXPECT_TRUE(table_.name_loaded_before(2));
  table_.keep_name(table_.add_define_record(), "C");
  table_.keep_name(table_.add_define_record(), "C");
  EXPECT_TRUE(table_.name_loaded_before(4)) << "records not asked about are taken in on the way";

  DefineTable next_run;
  load_into(next_run, {"A", "C"});
  EXPECT_EQ(next_run.def_cnt(), 2) << "a new run starts empty";
  next_run.sort_defines();
  EXPECT_EQ(next_run.def_check("B"), -1);
  EXPECT_EQ(next_run.def_check("C"), 1);
}

TEST_F(DefineTableTest, TableGrowsInStepsOfAThousand) {
  std::vector<std::string> names;
  for (int i = 0; i < 1001; ++i) names.push_back("N" + std::to_string(i));
  load({names.begin(), names.begin() + 1000});
  EXPECT_EQ(table_.chg_max(), 1000);
  load({names.back()});
  EXPECT_EQ(table_.chg_max(), 2000);
  EXPECT_EQ(name(0), "N0") << "records keep their texts when the table grows";
  EXPECT_EQ(name(1000), "N1000");
}

TEST_F(DefineTableTest, LookupInAnEmptyOrSingleTable) {
  table_.sort_defines();
  EXPECT_EQ(table_.def_check("A"), -1);
  load({"X;"});
  table_.sort_defines();
  EXPECT_EQ(table_.def_check("X;"), 0);
  EXPECT_EQ(table_.def_check("X"), -1);
}

}  // namespace
}  // namespace sornik
