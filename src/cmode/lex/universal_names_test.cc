#include "cmode/lex/universal_names.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "cmode/lex/dialect.h"

namespace sornik::cmode {
namespace {

// Each edge of C11's ranges, from both sides.
TEST(UniversalNames, IdentifiersTakeTheCharactersOfC11) {
  for (const char32_t code :
       {0xA8,   0xAA,   0xB2,   0xB5,   0xC0,   0xD6,   0xD8,   0xFF,   0x167F,  0x1681,
        0x3004, 0x3040, 0xD7FF, 0xF900, 0xFD3E, 0xFD3F, 0xFDCF, 0xFFFD, 0x10000, 0xEFFFD}) {
    EXPECT_TRUE(allowed_in_identifier(code)) << std::hex << static_cast<unsigned>(code);
  }
  for (const char32_t code :
       {0x41,   0x9F,   0xA7,   0xA9,   0xB1,   0xB6,   0xD7,   0xF7,    0x1680,  0x180E,
        0x3000, 0x3003, 0xD800, 0xDFFF, 0xF8FF, 0xFDD0, 0xFFFE, 0x1FFFE, 0xEFFFE, 0x110000}) {
    EXPECT_FALSE(allowed_in_identifier(code)) << std::hex << static_cast<unsigned>(code);
  }
  EXPECT_TRUE(allowed_at_identifier_start(0xE9));
  for (const char32_t code : {0x300, 0x36F, 0x1DC0, 0x20D0, 0xFE2F}) {
    EXPECT_TRUE(allowed_in_identifier(code)) << std::hex << static_cast<unsigned>(code);
    EXPECT_FALSE(allowed_at_identifier_start(code)) << std::hex << static_cast<unsigned>(code);
  }
  EXPECT_TRUE(allowed_at_identifier_start(0x2FF));
  EXPECT_TRUE(allowed_at_identifier_start(0x370));
}

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

// C99 and gnu99 under -pedantic check C99's own table: its edges from both
// sides, its digits first, and nothing beyond the BMP.
TEST(UniversalNames, PedanticC99ChecksItsOwnTable) {
  const auto error_of = [](char32_t code, bool first) {
    char name[16];
    std::snprintf(name, sizeof name, first ? "\\U%08X" : "a\\U%08X", static_cast<unsigned>(code));
    const std::string errors = identifier_character_errors(name);
    return errors.find("in an identifier") != std::string::npos ? 'x'
           : errors.find("at the start") != std::string::npos   ? 's'
                                                                : '-';
  };
  DiagnosticRules rules;
  rules.pedantic = true;
  set_diagnostic_rules(rules);
  for (const char* name : {"c99", "gnu99"}) {
    const ScopedLexingDialect c99(*find_dialect(name, false));
    for (const char32_t code : {0xAAU, 0xC0U, 0xF8U, 0x1F5U, 0x37AU, 0x3D0U, 0xE5BU, 0x3005U, 0xD7A3U})
      EXPECT_EQ(error_of(code, true), '-') << std::hex << static_cast<unsigned>(code);
    for (const char32_t code :
         {0xA8U, 0xABU, 0xB6U, 0x1F6U, 0x1F9U, 0x384U, 0x3CFU, 0xE5CU, 0x3004U, 0xD7A4U, 0xF900U, 0x10000U})
      EXPECT_EQ(error_of(code, false), 'x') << std::hex << static_cast<unsigned>(code);
    for (const char32_t code : {0x660U, 0x669U, 0xE50U, 0xF20U, 0xF33U}) {
      EXPECT_EQ(error_of(code, true), 's') << std::hex << static_cast<unsigned>(code);
      EXPECT_EQ(error_of(code, false), '-') << std::hex << static_cast<unsigned>(code);
    }
    EXPECT_EQ(error_of(0x65FU, true), 'x');
    EXPECT_EQ(error_of(0x66AU, true), 'x');
  }
  // Elsewhere, and without -pedantic, C11's table.
  const ScopedLexingDialect c11(*find_dialect("c11", false));
  EXPECT_EQ(error_of(0xA8U, false), '-');
  EXPECT_EQ(error_of(0x669U, true), '-');
  const ScopedLexingDialect c99(*find_dialect("c99", false));
  set_diagnostic_rules({});
  EXPECT_EQ(error_of(0xA8U, false), '-');
}

}  // namespace
}  // namespace sornik::cmode
