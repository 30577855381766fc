// Tests of the -std= names: each dialect's version and what it reads.
#include "cmode/lex/dialect.h"

#include <gtest/gtest.h>
#include <string>

namespace sornik::cmode {
namespace {

// The dialect as "version raw comments", or "none".
std::string described(std::string_view name, bool cplusplus) {
  const std::optional<Dialect> dialect = find_dialect(name, cplusplus);
  if (!dialect) return "none";
  std::string out(dialect->version);
  if (dialect->raw_strings) out += " raw";
  if (dialect->line_comments) out += " //";
  return out;
}

TEST(Dialect, GivesTheCompilersVersionsAndReadings) {
  // C90 has no version and no // comments; GNU C reads raw strings from
  // gnu99 on, ISO C never.
  EXPECT_EQ(described("c89", false), "");
  EXPECT_EQ(described("ansi", false), "");
  EXPECT_EQ(described("iso9899:199409", false), "199409L");
  EXPECT_EQ(described("gnu89", false), " //");
  EXPECT_EQ(described("c99", false), "199901L //");
  EXPECT_EQ(described("gnu99", false), "199901L raw //");
  EXPECT_EQ(described("c11", false), "201112L //");
  EXPECT_EQ(described("c18", false), "201710L //");
  EXPECT_EQ(described("", false), "201710L raw //");
  EXPECT_EQ(described("c2x", false), "202000L //");
  EXPECT_EQ(described("gnu23", false), "202311L raw //");
  // C++ reads raw strings from C++11 on, in both kinds of dialect.
  EXPECT_EQ(described("ansi", true), "199711L //");
  EXPECT_EQ(described("gnu++98", true), "199711L //");
  EXPECT_EQ(described("c++11", true), "201103L raw //");
  EXPECT_EQ(described("", true), "201703L raw //");
  EXPECT_EQ(described("c++2b", true), "202100L raw //");
}

TEST(Dialect, KnowsEachNameInItsOwnLanguageOnly) {
  EXPECT_EQ(described("c++17", false), "none");
  EXPECT_EQ(described("c11", true), "none");
  EXPECT_EQ(described("c++26", true), "none");
  EXPECT_EQ(described("C99", false), "none");
}

}  // namespace
}  // namespace sornik::cmode
