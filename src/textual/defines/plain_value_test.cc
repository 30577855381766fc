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
  PlainValue() { reset_define_table(); }
  ~PlainValue() override { reset_define_table(); }

  static void add(std::string_view name, std::string_view value,
                  std::optional<std::string_view> params = std::nullopt) {
    DefineEntry& entry = add_define_record(def_cnt++);
    keep_name(entry, name, params);
    keep_body(entry, value);
  }

  // Whether a define named V with `value` (beside the defines NAME and F(a))
  // has a plain value.
  static bool plain(std::string_view value) {
    reset_define_table();
    add("NAME", "1");
    add("F", "a", "a");
    add("V", value);
    sort_defines();
    return has_plain_value(chg_tbl[def_check("V")]);
  }
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
  add("F", "1", "");
  add("G", "1", "a, b");
  add("V", "1");
  sort_defines();
  EXPECT_FALSE(has_plain_value(chg_tbl[def_check("F")]));
  EXPECT_FALSE(has_plain_value(chg_tbl[def_check("G")]));
  DefineEntry& value = chg_tbl[def_check("V")];
  EXPECT_TRUE(has_plain_value(value));
  rewrite_body(value, "\"");
  EXPECT_FALSE(has_plain_value(value)) << "rewritten in place";
  rewrite_body(value, "22");
  EXPECT_TRUE(has_plain_value(value)) << "rewritten into new storage";
  keep_body(value, "G");
  EXPECT_FALSE(has_plain_value(value));
}

}  // namespace
}  // namespace sornik
