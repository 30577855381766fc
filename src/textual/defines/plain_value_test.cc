// Tests of whether a use of a define in code expands to its value and nothing more.
#include "textual/defines/plain_value.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace std::string_literals;

namespace sornik {
namespace {

class PlainValue : public ::testing::Test {
 protected:
  static void add(DefineTable& table, std::string_view name, std::string_view value,
                  std::optional<std::string_view> params = std::nullopt) {
    DefineEntry& entry = table.add_define_record();
    table.keep_name(entry, name, params);
    table.keep_body(entry, value);
  }

  // Whether a define named V with `value` (beside the defines NAME and F(a))
  // has a plain value.
  static bool plain(std::string_view value) {
    DefineTable table;
    add(table, "NAME", "1");
    add(table, "F", "a", "a");
    add(table, "V", value);
    table.sort_defines();
    return has_plain_value(table, table.chg_tbl(table.def_check("V")));
  }

  bool plain_entry(std::string_view name) {
    return has_plain_value(table_, table_.chg_tbl(table_.def_check(name)));
  }

  DefineTable table_;
};

// A value whose re-scan in code changes no state and finds no defined name.
TEST_F(PlainValue, HoldsNoDefinedNameAndNothingThatChangesTheScanState) {
  for (const std::string value : {"35", "x", "(a) + 0x1F", "a/b", "a*b", "a**b", "/", "*", "*x/", "/x*",
                                  "NAMEx xNAME NAM", "f[1] {2} <3>", "\x05\x7f\r\t `$#", "#"}) {
    EXPECT_TRUE(plain(value)) << value;
  }
  for (const std::string& value : {""s,     "NAME"s, "1+NAME"s, "NAME+1"s, "(F)"s,  "a//b"s, "a/*b"s, "a*/b"s,
                                   "//"s,   "/*"s,   "*/"s,     "\"s\""s,  "'c'"s,  "a\\b"s, "\0"s,   "\x01"s,
                                   "\x02"s, "\x03"s, "\x04"s,   "\x80"s,   "\xff"s, "a\x81"s}) {
    EXPECT_FALSE(plain(value)) << value;
  }
}

// Function-like defines never have one; the answer follows a changed value.
TEST_F(PlainValue, OnlyObjectLikeDefinesAndTheirPresentValue) {
  add(table_, "F", "1", "");
  add(table_, "G", "1", "a, b");
  add(table_, "V", "1");
  table_.sort_defines();
  EXPECT_FALSE(plain_entry("F"));
  EXPECT_FALSE(plain_entry("G"));
  DefineEntry& value = table_.chg_tbl(table_.def_check("V"));
  EXPECT_TRUE(plain_entry("V"));
  table_.rewrite_body(value, "\"");
  EXPECT_FALSE(plain_entry("V")) << "rewritten in place";
  table_.rewrite_body(value, "22");
  EXPECT_TRUE(plain_entry("V")) << "rewritten into new storage";
  table_.keep_body(value, "G");
  EXPECT_FALSE(plain_entry("V"));
}

}  // namespace
}  // namespace sornik
