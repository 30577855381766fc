#include "render/use_facts.h"

#include <gtest/gtest.h>

namespace sornik {
namespace {

std::string decimal(IntegerValue value) {
  std::string out;
  append_decimal(out, value);
  return out;
}

std::string hexadecimal(IntegerValue value) {
  std::string out;
  append_hexadecimal(out, value);
  return out;
}

TEST(UseFacts, ValuesAtTheirWidthAndSignedness) {
  EXPECT_EQ(decimal({0, 32, false}), "0");
  EXPECT_EQ(decimal({0x7FFFFFFF, 32, false}), "2147483647");
  EXPECT_EQ(decimal({0x80000000, 32, false}), "-2147483648");
  EXPECT_EQ(decimal({0x80000000, 32, true}), "2147483648");
  EXPECT_EQ(decimal({0xFFFFFFFF, 32, false}), "-1");
  EXPECT_EQ(decimal({0x8000000000000000, 64, false}), "-9223372036854775808");
  EXPECT_EQ(decimal({~std::uint64_t{0}, 64, true}), "18446744073709551615");
  EXPECT_EQ(decimal({0xFF, 8, false}), "-1");
  EXPECT_EQ(hexadecimal({0x4000100C, 32, true}), "0x4000100C");
  EXPECT_EQ(hexadecimal({0, 32, false}), "0x0");
  EXPECT_EQ(hexadecimal({~std::uint64_t{0}, 64, false}), "0xFFFFFFFFFFFFFFFF");
  EXPECT_EQ(hexadecimal({0xFFFFFFFF, 32, false}), "0xFFFFFFFF");
}

TEST(UseFacts, KeepsCopiesOfTheirTexts) {
  UseFacts facts;
  std::string name = "NAME";
  std::string definition = "#define NAME 1";
  facts.add_group({.macro = name, .defined_at = {"f.h", 7}, .definition = definition, .system = true});
  for (int i = 0; i < 100; ++i) facts.add_group({.macro = "M"});
  name = "XXXX";
  definition.clear();
  const GroupFacts first = facts.group(0);
  EXPECT_EQ(first.macro, "NAME");
  EXPECT_EQ(first.definition, "#define NAME 1");
  EXPECT_TRUE(first.system);
  EXPECT_EQ(facts.group(100).macro, "M");
  std::string place;
  append_definition_place(place, first.defined_at);
  append_definition_place(place, {"<built-in>", 0});
  EXPECT_EQ(place, "f.h:7<built-in>");
  facts.clear();
  EXPECT_EQ(facts.group_count(), 0u);
}

}  // namespace
}  // namespace sornik
