#include "cmode/macro_listing.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "cmode/define_directive.h"

namespace sornik::cmode {
namespace {

MacroPtr macro_named(std::string_view name, std::string_view body = "1") {
  Lexer lexer;
  std::vector<Token> tokens;
  const std::string text = std::string(name) + " " + std::string(body);
  lexer.lex(text, tokens);
  return parse_define(tokens).macro;
}

// The names of macros_by_name against the names sorted as strings of
// unsigned bytes.
void expect_sorted_as_bytes(const std::vector<std::string>& names) {
  MacroTable table;
  for (const std::string& name : names) table.define(macro_named(name));
  std::vector<std::string> expected = names;
  std::sort(expected.begin(), expected.end());
  expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
  std::vector<std::string> got;
  for (const Macro* macro : macros_by_name(table)) got.emplace_back(macro->name());
  EXPECT_EQ(got, expected);
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

std::string listed;
void collect(std::string_view text) { listed.append(text); }

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
