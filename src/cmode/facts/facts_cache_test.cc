// Tests of the facts cache: round trips, damaged files, atomic writes and its directory.
#include "cmode/facts/facts_cache.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdlib.h>
#include <unistd.h>

namespace sornik::cmode {
namespace {

CompilerFacts sample_facts() {
  CompilerFacts facts;
  facts.macros = "#define __GNUC__ 12\n#define __x86_64__ 1\n#define EMPTY \n";
  facts.quote_dirs = {"/quoted dir"};
  facts.system_dirs = {"/usr/lib/gcc/x86_64-linux-gnu/12/include", "/usr/include"};
  facts.features.set("__has_attribute(unused)", "1");
  facts.features.set("__has_c_attribute(nodiscard)", "202003");
  facts.features.set("__has_cpp_attribute(x)", "");
  return facts;
}

void expect_same(const CompilerFacts& a, const CompilerFacts& b) {
  EXPECT_EQ(a.macros, b.macros);
  EXPECT_EQ(a.quote_dirs, b.quote_dirs);
  EXPECT_EQ(a.system_dirs, b.system_dirs);
  EXPECT_EQ(a.features, b.features);
}

std::string read_file(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

TEST(FactsCache, GivesBackWhatItWasGivenForTheSameKeyOnly) {
  const std::string text = facts_file_text("program /usr/bin/gcc\nsize 10", sample_facts());
  const std::optional<CompilerFacts> read = read_facts_file_text(text, "program /usr/bin/gcc\nsize 10");
  ASSERT_TRUE(read.has_value());
  expect_same(*read, sample_facts());
  EXPECT_FALSE(read_facts_file_text(text, "program /usr/bin/gcc\nsize 11").has_value());
  const std::optional<CompilerFacts> empty = read_facts_file_text(facts_file_text("k", {}), "k");
  ASSERT_TRUE(empty.has_value());
  expect_same(*empty, {});
}

TEST(FactsCache, RefusesEveryTextCutShortOrChanged) {
  const std::string text = facts_file_text("key", sample_facts());
  for (std::size_t size = 0; size < text.size(); ++size) {
    EXPECT_FALSE(read_facts_file_text(text.substr(0, size), "key").has_value()) << size;
  }
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    std::string changed = text;
    changed[pos] = static_cast<char>(changed[pos] ^ 0x04);
    EXPECT_FALSE(read_facts_file_text(changed, "key").has_value()) << pos;
  }
  EXPECT_FALSE(read_facts_file_text(text + "x", "key").has_value());
}

TEST(FactsCache, StoresWholeFilesAndRenewsACorruptOne) {
  const std::string dir = ::testing::TempDir() + "sornik-facts-cache-" + std::to_string(getpid()) + "/a/b";
  std::filesystem::remove_all(dir);
  EXPECT_FALSE(load_cached_facts(dir, "key").has_value());
  ASSERT_TRUE(store_cached_facts(dir, "key", sample_facts()));
  std::optional<CompilerFacts> loaded = load_cached_facts(dir, "key");
  ASSERT_TRUE(loaded.has_value());
  expect_same(*loaded, sample_facts());
  EXPECT_FALSE(load_cached_facts(dir, "other key").has_value());
  EXPECT_NE(facts_file_path(dir, "key"), facts_file_path(dir, "other key"));

  const std::string path = facts_file_path(dir, "key");
  const std::string whole = read_file(path);
  std::ofstream(path, std::ios::binary) << whole.substr(0, whole.size() / 2);
  EXPECT_FALSE(load_cached_facts(dir, "key").has_value());
  ASSERT_TRUE(store_cached_facts(dir, "key", sample_facts()));
  EXPECT_EQ(read_file(path), whole);
  // Only the file itself is left: the one written beside it was renamed.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()),
            1);

  // A directory where the file should be, or no directory at all.
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  EXPECT_FALSE(load_cached_facts(dir, "key").has_value());
  EXPECT_FALSE(store_cached_facts(dir, "key", sample_facts()));
  EXPECT_FALSE(store_cached_facts("", "key", sample_facts()));
  EXPECT_FALSE(store_cached_facts("/proc/no-such-place", "key", sample_facts()));
  std::filesystem::remove_all(dir);
}

TEST(FactsCache, LivesWhereTheUserKeepsCaches) {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  const std::string saved_xdg = xdg != nullptr ? xdg : "";
  const std::string saved_home = home != nullptr ? home : "";
  setenv("XDG_CACHE_HOME", "/x/cache", 1);
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(cache_directory(), "/x/cache/sornik");
  // A relative XDG_CACHE_HOME is ignored, as the XDG rules say.
  setenv("XDG_CACHE_HOME", "relative", 1);
  EXPECT_EQ(cache_directory(), "/home/u/.cache/sornik");
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(cache_directory(), "/home/u/.cache/sornik");
  unsetenv("HOME");
  EXPECT_EQ(cache_directory(), "");
  if (xdg != nullptr) setenv("XDG_CACHE_HOME", saved_xdg.c_str(), 1);
  if (home != nullptr) setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
}  // namespace sornik::cmode
