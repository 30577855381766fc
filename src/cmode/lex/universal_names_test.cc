#include "cmode/lex/universal_names.h"

#include <gtest/gtest.h>

#include "cmode/lex/dialect.h"

namespace sornik::cmode {
namespace {

TEST(UniversalNames, NamesAreKnownByTheirUtf8Spelling) {
  const auto utf8 = [](std::string_view name) {
    std::string out;
    append_utf8_name(out, name);
    return out;
  };
  EXPECT_EQ(utf8("\\u00e9t\\u00E9"), "\xc3\xa9t\xc3\xa9");
  EXPECT_EQ(utf8("a\\U000000e9"), "a\xc3\xa9");
  EXPECT_EQ(utf8("\\u07ff\\u0800\\uffff\\U00010000\\U0010FFFF"),
            "\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf");
  EXPECT_EQ(utf8("\\u0041\\u0024"), "A$");
  // What names no character stays as written.
  EXPECT_EQ(utf8("\\ud800\\U00110000"), "\\ud800\\U00110000");
  EXPECT_EQ(utf8("\\u00e"), "\\u00e");
  const auto listed = [](std::string_view name) {
    std::string out;
    append_listed_name(out, name);
    return out;
  };
  EXPECT_EQ(listed("x\xc3\xa9t\xf0\x9f\x98\x80_1"), "x\\U000000e9t\\U0001f600_1");
  EXPECT_EQ(listed("plain$"), "plain$");
  EXPECT_TRUE(spells_universal_names("a\\u00e9"));
  EXPECT_FALSE(spells_universal_names("a\xc3\xa9"));
  char32_t code = 0;
  EXPECT_EQ(universal_name_length("\\U0001F600x", code), 10u);
  EXPECT_EQ(code, 0x1F600u);
  EXPECT_EQ(universal_name_length("\\U0001F60", code), 0u);
  EXPECT_EQ(universal_name_length("\\x00e9", code), 0u);
}

TEST(UniversalNames, ErrorsAsTheCompilersForEachCharacter) {
  EXPECT_EQ(identifier_character_errors("\\u00e9t\\u00e9 x\xc3\xa9 \\u0024"), "");
  EXPECT_EQ(identifier_character_errors("\\u0041\\ud800"),
            "\\u0041 is not a valid universal character\n\\ud800 is not a valid universal character\n");
  EXPECT_EQ(identifier_character_errors("x\\u00d7\\u0060\\U00110000"),
            "universal character \\u00d7 is not valid in an identifier\n"
            "universal character \\u0060 is not valid in an identifier\n"
            "universal character \\U00110000 is not valid in an identifier\n");
  EXPECT_EQ(identifier_character_errors("\\u0301x"),
            "universal character \\u0301 is not valid at the start of an identifier\n");
  EXPECT_EQ(identifier_character_errors("x\\u0301"), "");
  EXPECT_EQ(identifier_character_errors("\xcc\x81x"),
            "extended character \xcc\x81 is not valid at the start of an identifier\n");
}

// C++ takes a basic character's universal character name as a character
// no identifier holds, reads every UTF-8 character into identifiers and
// reports those its table does not allow; both languages refuse names
// beyond 0x7FFFFFFF.
TEST(UniversalNames, CxxErrorsForEachCharacter) {
  EXPECT_EQ(identifier_character_errors("\\U7FFFFFFF\\U80000000"),
            "universal character \\U7FFFFFFF is not valid in an identifier\n"
            "\\U80000000 is not a valid universal character\n");
  const ScopedLexingDialect cxx98(*find_dialect("c++98", true));
  EXPECT_EQ(identifier_character_errors("\\u0041\\u0024\\u009f\\ud800"),
            "universal character \\u0041 is not valid in an identifier\n"
            "universal character \\u009f is not valid in an identifier\n"
            "\\ud800 is not a valid universal character\n");
  EXPECT_EQ(identifier_character_errors("\xc2\xa1x\xc3\x97\xc3\xa9"),
            "extended character \xc2\xa1 is not valid in an identifier\n"
            "extended character \xc3\x97 is not valid in an identifier\n");
  EXPECT_EQ(identifier_character_errors("\xcc\x81x\xf0\x9f\x98\x80"),
            "extended character \xcc\x81 is not valid at the start of an identifier\n");
  // Under -pedantic, Unicode's identifier properties: U+00B7 continues an
  // identifier and U+1F600 is in none.
  DiagnosticRules rules;
  rules.pedantic = true;
  set_diagnostic_rules(rules);
  EXPECT_EQ(identifier_character_errors("\xc2\xb7x\xf0\x9f\x98\x80"),
            "extended character \xc2\xb7 is not valid at the start of an identifier\n"
            "extended character \xf0\x9f\x98\x80 is not valid in an identifier\n");
  EXPECT_EQ(identifier_character_errors("x\\u00b7\\u00a8"),
            "universal character \\u00a8 is not valid in an identifier\n");
  set_diagnostic_rules({});
}

// "'$' in identifier or number" is due once a unit, where -pedantic asks
// in C90, C94, C++98 and C++03; in C++ a \u0024 takes it too.
TEST(UniversalNames, DollarWarningIsDueOnceAUnitWherePedanticAsks) {
  const auto due_in = [](const char* name, bool cplusplus, bool pedantic) {
    DiagnosticRules rules;
    rules.pedantic = pedantic;
    set_diagnostic_rules(rules);
    const ScopedLexingDialect dialect(*find_dialect(name, cplusplus));
    arm_dollar_warning();
    return dollar_warning_due();
  };
  for (const char* name : {"c90", "gnu89", "iso9899:199409"}) EXPECT_TRUE(due_in(name, false, true)) << name;
  for (const char* name : {"c++98", "gnu++03"}) EXPECT_TRUE(due_in(name, true, true)) << name;
  for (const char* name : {"c99", "gnu11"}) EXPECT_FALSE(due_in(name, false, true)) << name;
  for (const char* name : {"c++11", "gnu++2b"}) EXPECT_FALSE(due_in(name, true, true)) << name;
  EXPECT_FALSE(due_in("c++98", true, false));
  EXPECT_TRUE(due_in("c++98", true, true));
  EXPECT_FALSE(takes_dollar_warning("plain_1"));
  EXPECT_FALSE(takes_dollar_warning("\\u0025"));
  EXPECT_TRUE(dollar_warning_due());
  EXPECT_TRUE(takes_dollar_warning("a\\u0024"));
  EXPECT_FALSE(dollar_warning_due());
  EXPECT_FALSE(takes_dollar_warning("$"));
  set_diagnostic_rules({});
}

// The UTF-8 the compiler reads: up to six bytes, each character in its
// shortest form, no surrogate.
TEST(UniversalNames, Utf8AsTheCompilerReadsIt) {
  EXPECT_EQ(utf8_length(0x7F), 0u);
  EXPECT_EQ(utf8_length(0xC1), 0u);
  EXPECT_EQ(utf8_length(0xC2), 2u);
  EXPECT_EQ(utf8_length(0xDF), 2u);
  EXPECT_EQ(utf8_length(0xE0), 3u);
  EXPECT_EQ(utf8_length(0xEF), 3u);
  EXPECT_EQ(utf8_length(0xF0), 4u);
  EXPECT_EQ(utf8_length(0xF7), 4u);
  EXPECT_EQ(utf8_length(0xF8), 5u);
  EXPECT_EQ(utf8_length(0xFB), 5u);
  EXPECT_EQ(utf8_length(0xFC), 6u);
  EXPECT_EQ(utf8_length(0xFD), 6u);
  EXPECT_EQ(utf8_length(0xFE), 0u);
  EXPECT_TRUE(utf8_well_formed(0x800, 3));
  EXPECT_FALSE(utf8_well_formed(0x7FF, 3));
  EXPECT_TRUE(utf8_well_formed(0x10000, 4));
  EXPECT_FALSE(utf8_well_formed(0xFFFF, 4));
  EXPECT_TRUE(utf8_well_formed(0x200000, 5));
  EXPECT_FALSE(utf8_well_formed(0x1FFFFF, 5));
  EXPECT_TRUE(utf8_well_formed(0x4000000, 6));
  EXPECT_FALSE(utf8_well_formed(0x3FFFFFF, 6));
  EXPECT_TRUE(utf8_well_formed(0xD7FF, 3));
  EXPECT_FALSE(utf8_well_formed(0xD800, 3));
  EXPECT_FALSE(utf8_well_formed(0xDFFF, 3));
  EXPECT_TRUE(utf8_well_formed(0xE000, 3));
  EXPECT_TRUE(spells_extended_characters("a\\u00e9"));
  EXPECT_TRUE(spells_extended_characters("\xc3\xa9"));
  EXPECT_FALSE(spells_extended_characters("plain_1e+5"));
}

}  // namespace
}  // namespace sornik::cmode
