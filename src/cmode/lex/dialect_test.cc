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

TEST(Dialect, KnowsEachNameInItsOwnLanguageOnly) {
  EXPECT_EQ(described("c++17", false), "unknown");
  EXPECT_EQ(described("c11", true), "unknown");
  EXPECT_EQ(described("c++26", true), "unknown");
  EXPECT_EQ(described("C99", false), "unknown");
}

}  // namespace
}  // namespace sornik::cmode
