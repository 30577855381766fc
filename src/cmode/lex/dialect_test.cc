// Tests of the -std= names and the version each predefines.
#include "cmode/lex/dialect.h"

#include <gtest/gtest.h>
#include <string>

namespace sornik::cmode {
namespace {

// The dialect's version, "C90" for none, or "unknown".
std::string described(std::string_view name, bool cplusplus) {
  const std::optional<Dialect> dialect = find_dialect(name, cplusplus);
  if (!dialect) return "unknown";
  EXPECT_EQ(dialect->cplusplus, cplusplus);
  return dialect->version.empty() ? "C90" : std::string(dialect->version);
}

TEST(Dialect, GivesTheCompilersVersions) {
  EXPECT_EQ(described("c89", false), "C90");
  EXPECT_EQ(described("ansi", false), "C90");
  EXPECT_EQ(described("gnu90", false), "C90");
  EXPECT_EQ(described("iso9899:199409", false), "199409L");
  EXPECT_EQ(described("c99", false), "199901L");
  EXPECT_EQ(described("gnu9x", false), "199901L");
  EXPECT_EQ(described("c11", false), "201112L");
  EXPECT_EQ(described("c18", false), "201710L");
  EXPECT_EQ(described("", false), "201710L");
  EXPECT_EQ(described("c2x", false), "202000L");
  EXPECT_EQ(described("gnu23", false), "202311L");
  EXPECT_EQ(described("ansi", true), "199711L");
  EXPECT_EQ(described("gnu++03", true), "199711L");
  EXPECT_EQ(described("c++11", true), "201103L");
  EXPECT_EQ(described("", true), "201703L");
  EXPECT_EQ(described("c++2b", true), "202100L");
}

// The tokens each dialect reads, as gcc and g++ read them.
TEST(Dialect, ReadsTheTokensOfItsStandard) {
  EXPECT_TRUE(find_dialect("", false)->raw_strings);
  EXPECT_TRUE(find_dialect("gnu99", false)->raw_strings);
  EXPECT_FALSE(find_dialect("gnu90", false)->raw_strings);
  EXPECT_FALSE(find_dialect("c17", false)->raw_strings);
  EXPECT_FALSE(find_dialect("c17", false)->scope);
  EXPECT_TRUE(find_dialect("c2x", false)->scope);
  EXPECT_TRUE(find_dialect("gnu23", false)->digit_separators);
  EXPECT_FALSE(find_dialect("gnu23", false)->cplusplus_tokens);
  const Dialect cxx98 = *find_dialect("c++03", true);
  EXPECT_TRUE(cxx98.scope && cxx98.cplusplus_tokens);
  EXPECT_FALSE(cxx98.raw_strings || cxx98.user_literals);
  const Dialect cxx11 = *find_dialect("gnu++11", true);
  EXPECT_TRUE(cxx11.raw_strings && cxx11.user_literals);
  EXPECT_FALSE(cxx11.digit_separators);
  EXPECT_TRUE(find_dialect("c++14", true)->digit_separators);
  EXPECT_FALSE(find_dialect("c++17", true)->spaceship);
  EXPECT_TRUE(find_dialect("c++2a", true)->spaceship);
  EXPECT_FALSE(find_dialect("gnu++14", true)->utf8_chars);
  EXPECT_TRUE(find_dialect("c++1z", true)->utf8_chars);
  EXPECT_FALSE(find_dialect("gnu17", false)->utf8_chars);
  EXPECT_TRUE(find_dialect("c2x", false)->utf8_chars);
}

// ISO standards against GNU ones, the defaults among them.
TEST(Dialect, TellsStrictStandardsFromGnuOnes) {
  for (const char* name : {"c90", "ansi", "iso9899:199409", "c99", "c11", "c17", "c2x"})
    EXPECT_TRUE(find_dialect(name, false)->strict) << name;
  for (const char* name : {"", "gnu89", "gnu90", "gnu99", "gnu17", "gnu2x"})
    EXPECT_FALSE(find_dialect(name, false)->strict) << name;
  for (const char* name : {"ansi", "c++98", "c++11", "c++17", "c++20", "c++2b"})
    EXPECT_TRUE(find_dialect(name, true)->strict) << name;
  for (const char* name : {"", "gnu++98", "gnu++11", "gnu++17", "gnu++20", "gnu++2b"})
    EXPECT_FALSE(find_dialect(name, true)->strict) << name;
  // gnu90 is C90 but for the comma, which GNU's reading of `, ## __VA_ARGS__` drops.
  EXPECT_FALSE(find_dialect("gnu90", false)->raw_strings);
}

// As gcc 12 and g++ 12 have it: every ISO C standard converts trigraphs,
// C2X too; ISO C++ does up to C++14; no GNU standard does.
TEST(Dialect, ConvertsTrigraphsInIsoStandardsUpToCxx14) {
  for (const char* name : {"c90", "ansi", "iso9899:199409", "c99", "c11", "c17", "c2x"})
    EXPECT_TRUE(find_dialect(name, false)->trigraphs) << name;
  for (const char* name : {"", "gnu90", "gnu99", "gnu17", "gnu2x"})
    EXPECT_FALSE(find_dialect(name, false)->trigraphs) << name;
  for (const char* name : {"ansi", "c++98", "c++11", "c++14"})
    EXPECT_TRUE(find_dialect(name, true)->trigraphs) << name;
  for (const char* name : {"c++17", "c++20", "c++2b", "", "gnu++98", "gnu++14"})
    EXPECT_FALSE(find_dialect(name, true)->trigraphs) << name;
}

// -Wtrigraphs is on by default where trigraphs stay as written; where they
// are converted only -Wall or -Wtrigraphs turn it on; -Wno-trigraphs wins.
TEST(Dialect, WarnsOfTrigraphsAsGccDoes) {
  const std::uint32_t bit = DiagnosticRules::bit(Warning::trigraphs);
  const auto warns = [](std::string_view standard, std::uint32_t on, std::uint32_t chosen) {
    DiagnosticRules rules;
    rules.warnings_on |= on;
    rules.warnings_chosen = chosen;
    default_trigraph_warnings(rules, *find_dialect(standard, false));
    return rules.gives(Warning::trigraphs);
  };
  EXPECT_TRUE(warns("gnu99", 0, 0));
  EXPECT_FALSE(warns("c99", 0, 0));
  EXPECT_TRUE(warns("c99", bit, 0));     // -Wall
  EXPECT_TRUE(warns("c99", bit, bit));   // -Wtrigraphs
  EXPECT_FALSE(warns("gnu99", 0, bit));  // -Wno-trigraphs
}

TEST(Dialect, KnowsEachNameInItsOwnLanguageOnly) {
  EXPECT_EQ(described("c++17", false), "unknown");
  EXPECT_EQ(described("c11", true), "unknown");
  // g++ 12, whose facts the C mode asks for, refuses C++26 as an unknown -std=.
  EXPECT_EQ(described("c++26", true), "unknown");
  EXPECT_EQ(described("gnu++26", true), "unknown");
  EXPECT_EQ(described("C99", false), "unknown");
}

// The pedwarn of __VA_ARGS__ or __VA_OPT__ written in `dialect` (a -std=
// name, C++ when it has "++"), under -pedantic or not; "-" for none.
std::string variadic_warning(std::string_view dialect, std::string_view name, bool in_variadic_body,
                             bool pedantic) {
  const ScopedLexingDialect scoped(*find_dialect(dialect, dialect.find("++") != std::string_view::npos));
  const DiagnosticRules saved = diagnostic_rules();
  DiagnosticRules rules = saved;
  rules.pedantic = pedantic;
  set_diagnostic_rules(rules);
  const std::string_view warning = variadic_name_warning(name, in_variadic_body);
  set_diagnostic_rules(saved);
  return warning.empty() ? "-" : std::string(warning);
}

// As gcc 12 and g++ 12 word them: __VA_OPT__ is no ISO C, nor ISO C++
// before C++20, under -pedantic, even in a variadic macro.
TEST(Dialect, WarnsOfVariadicNamesWhereTheCompilerDoes) {
  EXPECT_EQ(variadic_warning("c99", "__VA_ARGS__", false, false),
            "__VA_ARGS__ can only appear in the expansion of a C99 variadic macro");
  EXPECT_EQ(variadic_warning("c++11", "__VA_ARGS__", false, true),
            "__VA_ARGS__ can only appear in the expansion of a C++11 variadic macro");
  EXPECT_EQ(variadic_warning("c99", "__VA_ARGS__", true, true), "-");
  EXPECT_EQ(variadic_warning("c99", "__VA_ARG__", false, true), "-");
  const std::string misplaced = "__VA_OPT__ can only appear in the expansion of a C++20 variadic macro";
  const std::string unavailable = "__VA_OPT__ is not available until C++20";
  EXPECT_EQ(variadic_warning("c17", "__VA_OPT__", false, false), misplaced);
  EXPECT_EQ(variadic_warning("c17", "__VA_OPT__", true, false), "-");
  EXPECT_EQ(variadic_warning("c17", "__VA_OPT__", true, true), unavailable);
  EXPECT_EQ(variadic_warning("c2x", "__VA_OPT__", false, true), unavailable);
  EXPECT_EQ(variadic_warning("gnu2x", "__VA_OPT__", false, true), misplaced);
  EXPECT_EQ(variadic_warning("gnu2x", "__VA_OPT__", true, true), "-");
  EXPECT_EQ(variadic_warning("c++17", "__VA_OPT__", true, true), unavailable);
  EXPECT_EQ(variadic_warning("gnu++17", "__VA_OPT__", false, true), misplaced);
  EXPECT_EQ(variadic_warning("c++20", "__VA_OPT__", true, true), "-");
  EXPECT_EQ(variadic_warning("c++20", "__VA_OPT__", false, true), misplaced);
}

}  // namespace
}  // namespace sornik::cmode
