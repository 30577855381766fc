// Tests of the macro listing: byte order across prefixes, block writing, and the table left empty.
#include "cmode/pp/macro_listing.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "cmode/pp/define_directive.h"

namespace sornik::cmode {
namespace {

MacroPtr macro_named(std::string_view name, std::string_view body = "1") {
  Lexer lexer;
  std::vector<Token> tokens;
  const std::string text = std::string(name) + " " + std::string(body);
  lexer.lex(text, tokens);
  return parse_define(tokens).macro;
}

std::string listed;
void collect(std::string_view text) { listed.append(text); }

// The names in the listing of `table`, in its order.
std::vector<std::string> names_listed(MacroTable& table) {
  listed.clear();
  list_macros(table, collect);
  std::vector<std::string> names;
  for (std::size_t pos = 0; pos < listed.size();) {
    const std::size_t name = pos + std::string_view("#define ").size();
    names.push_back(listed.substr(name, listed.find(' ', name) - name));
    pos = listed.find('\n', pos) + 1;
  }
  return names;
}

// The names of the listing against the names sorted as strings of unsigned
// bytes (of UTF-8, though listed as the compiler lists them: \U000000e9).
void expect_sorted_as_bytes(const std::vector<std::string>& names) {
  MacroTable table;
  for (const std::string& name : names) table.define(macro_named(name));
  std::vector<std::string> expected = names;
  std::sort(expected.begin(), expected.end());
  expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
  for (std::string& name : expected) {
    std::string spelled;
    append_listed_name(spelled, name);
    name = spelled;
  }
  EXPECT_EQ(names_listed(table), expected);
}

TEST(MacrosByName, OrdersAsUnsignedBytesAcrossTheEightBytePrefix) {
  expect_sorted_as_bytes({"B", "A", "AAAAAAAAB", "AAAAAAAAA", "AAAAAAAA", "AAAAAAA", "AAAAAAAAAB", "a", "_",
                          "Z", "\xc3\xa9t\xc3\xa9", "\xc3\xa9", "z\xc3\xa9", "z"});
  expect_sorted_as_bytes({});
  expect_sorted_as_bytes({"ONLY"});
}

TEST(MacrosByName, OrdersManyNamesWithSharedPrefixes) {
  // Few letters make long shared prefixes and equal bytes at many places.
  std::mt19937 random(7);
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) {
    std::string name = "_";
    const std::size_t size = 1 + random() % 12;
    while (name.size() < size) name += "AB_"[random() % 3];
    names.push_back(name);
  }
  expect_sorted_as_bytes(names);
}

// `count` names "N" and four digits in `base` written with letters, defined
// in reverse order: the sort takes one pass for each digit that varies.
std::vector<std::string> names_in_base(int count, int base) {
  std::vector<std::string> names;
  for (int i = count - 1; i >= 0; --i) {
    std::string name = "N";
    for (int place = 0, rest = i; place < 4; ++place, rest /= base)
      name += static_cast<char>('a' + rest % base);
    names.push_back(name);
  }
  return names;
}

TEST(MacrosByName, OrdersTablesOnBothSidesOfHalfFullAfterOddAndEvenPasses) {
  // A table of 64 slots holds up to 48 macros, then 128: the sort uses the
  // slots past the macros when they are at most half of the slots, else
  // memory of its own; an odd or even number of passes leaves the result in
  // either place (base 4: 3 passes from 17 names, 4 from 65; base 8: 2
  // passes from 9 names, 3 from 65).
  for (const int count : {1, 2, 31, 32, 33, 48, 49, 64, 65}) {
    expect_sorted_as_bytes(names_in_base(count, 4));
    expect_sorted_as_bytes(names_in_base(count, 8));
  }
}

TEST(ListMacros, LeavesTheTableEmptyAndUsable) {
  MacroTable table;
  for (const std::string& name : names_in_base(40, 8)) table.define(macro_named(name));
  table.undefine("Naaaa");
  EXPECT_EQ(names_listed(table).size(), 39u);
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(table.find("Nbaaa"), nullptr);
  EXPECT_FALSE(table.may_hold("Nbaaa"));
  table.define(macro_named("Nbaaa", "2"));
  table.define(macro_named("A"));
  EXPECT_EQ(names_listed(table), (std::vector<std::string>{"A", "Nbaaa"}));
  EXPECT_EQ(listed, "#define A 1\n#define Nbaaa 2\n");
}

TEST(ListMacros, WritesEveryLineInOrderAcrossBlocks) {
  MacroTable table;
  std::string expected;
  // 3000 lines of about 40 bytes: more than one 64 KiB block.
  for (int i = 0; i < 3000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "M%05d", i);
    table.define(macro_named(std::string(name) + "(x)", "x + 0123456789012345"));
    expected += "#define " + std::string(name) + "(x) x + 0123456789012345\n";
  }
  listed.clear();
  list_macros(table, collect);
  EXPECT_EQ(listed, expected);
  MacroTable empty;
  listed.clear();
  list_macros(empty, collect);
  EXPECT_EQ(listed, "");
}

}  // namespace
}  // namespace sornik::cmode
