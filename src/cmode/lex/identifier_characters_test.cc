#include "cmode/lex/identifier_characters.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <utility>

#include "cmode/lex/dialect.h"
#include "cmode/lex/universal_names.h"

namespace sornik::cmode {
namespace {

// Each edge of C11's ranges, from both sides (U+FD3E and U+FD3F come from
// C++98's table).
TEST(IdentifierCharacters, WithoutPedanticTheCharactersOfC11) {
  for (const char32_t code :
       {0xA8,   0xAA,   0xB2,   0xB5,   0xC0,   0xD6,   0xD8,   0xFF,   0x167F,  0x1681,
        0x3004, 0x3040, 0xD7FF, 0xF900, 0xFD3E, 0xFD3F, 0xFDCF, 0xFFFD, 0x10000, 0xEFFFD}) {
    EXPECT_TRUE(allowed_in_identifier(code, IdentifierTable::any)) << std::hex << static_cast<unsigned>(code);
  }
  for (const char32_t code :
       {0x41,   0x9F,   0xA7,   0xA9,   0xB1,   0xB6,   0xD7,   0xF7,    0x1680,  0x180E,
        0x3000, 0x3003, 0xD800, 0xDFFF, 0xF8FF, 0xFDD0, 0xFFFE, 0x1FFFE, 0xEFFFE, 0x110000}) {
    EXPECT_FALSE(allowed_in_identifier(code, IdentifierTable::any))
        << std::hex << static_cast<unsigned>(code);
  }
  EXPECT_TRUE(allowed_at_identifier_start(0xE9, IdentifierTable::any));
  for (const char32_t code : {0x300, 0x36F, 0x1DC0, 0x20D0, 0xFE2F}) {
    EXPECT_TRUE(allowed_in_identifier(code, IdentifierTable::any)) << std::hex << static_cast<unsigned>(code);
    EXPECT_FALSE(allowed_at_identifier_start(code, IdentifierTable::any))
        << std::hex << static_cast<unsigned>(code);
  }
  EXPECT_TRUE(allowed_at_identifier_start(0x2FF, IdentifierTable::any));
  EXPECT_TRUE(allowed_at_identifier_start(0x370, IdentifierTable::any));
}

// Under -pedantic, C11 and later check C11's table alone.
TEST(IdentifierCharacters, PedanticC11LeavesOutWhatOnlyOtherTablesAllow) {
  for (const char32_t code : {0xFD3DU, 0xFD40U, 0xA8U, 0x10000U})
    EXPECT_TRUE(allowed_in_identifier(code, IdentifierTable::c11)) << std::hex << static_cast<unsigned>(code);
  for (const char32_t code : {0xFD3EU, 0xFD3FU, 0xA7U})
    EXPECT_FALSE(allowed_in_identifier(code, IdentifierTable::c11))
        << std::hex << static_cast<unsigned>(code);
  EXPECT_FALSE(allowed_at_identifier_start(0x300, IdentifierTable::c11));
}

// C99 and gnu99 under -pedantic check C99's own table: its edges from both
// sides, its digits first, and nothing beyond the BMP.
TEST(IdentifierCharacters, PedanticC99ChecksItsOwnTable) {
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

// Under -pedantic, every C++ standard checks Unicode 13.0's XID_Continue
// and XID_Start: edges from both sides, in the BMP and beyond.
TEST(IdentifierCharacters, PedanticCxxChecksUnicodeIdentifierProperties) {
  const auto is = [](char32_t code) {
    const bool in = allowed_in_identifier(code, IdentifierTable::unicode);
    const bool first = allowed_at_identifier_start(code, IdentifierTable::unicode);
    EXPECT_TRUE(in || !first) << std::hex << static_cast<unsigned>(code);
    return first ? 's' : in ? 'c' : 'x';
  };
  const std::pair<char32_t, char> cases[] = {
      {0xA9, 'x'},    {0xAA, 's'},    {0xAB, 'x'},    {0xB6, 'x'},    {0xB7, 'c'},     {0xB8, 'x'},
      {0xBF, 'x'},    {0xC0, 's'},    {0xD6, 's'},    {0xD7, 'x'},    {0xD8, 's'},     {0x2C1, 's'},
      {0x2C2, 'x'},   {0x2C5, 'x'},   {0x2C6, 's'},   {0x2FF, 'x'},   {0x300, 'c'},    {0x36F, 'c'},
      {0x370, 's'},   {0x660, 'c'},   {0x669, 'c'},   {0x66A, 'x'},   {0x86A, 's'},    {0x86B, 'x'},
      {0x870, 'x'},   {0x2118, 's'},  {0x2E2F, 'x'},  {0x309A, 'c'},  {0x309B, 'x'},   {0x309D, 's'},
      {0x9FFC, 's'},  {0x9FFD, 'x'},  {0xD7A3, 's'},  {0xD800, 'x'},  {0xFD3E, 'x'},   {0xFFDC, 's'},
      {0xFFDD, 'x'},  {0x10000, 's'}, {0x1000B, 's'}, {0x1000C, 'x'}, {0x1F600, 'x'},  {0x2A6DD, 's'},
      {0x2A6DE, 'x'}, {0x2FA1D, 's'}, {0x2FA1E, 'x'}, {0x30000, 's'}, {0x3134A, 's'},  {0x3134B, 'x'},
      {0xE00FF, 'x'}, {0xE0100, 'c'}, {0xE01EF, 'c'}, {0xE01F0, 'x'}, {0x10FFFF, 'x'}, {0x110000, 'x'},
  };
  for (const auto& [code, expected] : cases)
    EXPECT_EQ(is(code), expected) << std::hex << static_cast<unsigned>(code);
}

// Which table each dialect checks, with and without -pedantic.
TEST(IdentifierCharacters, TheDialectAndPedanticChooseTheTable) {
  const auto table_of = [](const char* name, bool cplusplus, bool pedantic) {
    DiagnosticRules rules;
    rules.pedantic = pedantic;
    set_diagnostic_rules(rules);
    const ScopedLexingDialect dialect(*find_dialect(name, cplusplus));
    return identifier_table();
  };
  EXPECT_EQ(table_of("c11", false, false), IdentifierTable::any);
  EXPECT_EQ(table_of("c++98", true, false), IdentifierTable::any);
  EXPECT_EQ(table_of("gnu17", false, true), IdentifierTable::c11);
  EXPECT_EQ(table_of("c99", false, true), IdentifierTable::c99);
  EXPECT_EQ(table_of("gnu99", false, true), IdentifierTable::c99);
  for (const char* name : {"c++98", "gnu++03", "c++11", "c++17", "gnu++20", "c++2b"})
    EXPECT_EQ(table_of(name, true, true), IdentifierTable::unicode) << name;
  set_diagnostic_rules({});
}

}  // namespace
}  // namespace sornik::cmode
