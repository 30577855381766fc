// Tests of an arena of texts that live until it is cleared, stored in large blocks.
#include "common/text_arena.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace sornik {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

TEST(TextArena, StoredTextsStayIntactAcrossBlocks) {
  TextArena arena;
  std::vector<std::string_view> stored;
  std::vector<std::string> expected;
  // Enough texts to fill three blocks, each one different.
  for (int i = 0; i < 3 * 1024; ++i) {
    expected.push_back(std::string(1000, static_cast<char>('a' + i % 26)) + std::to_string(i));
    stored.push_back(arena.store(expected.back()));
  }
  for (std::size_t i = 0; i < stored.size(); ++i) ASSERT_EQ(stored[i], expected[i]) << i;
  EXPECT_EQ(arena.store("ab", "cd"), "abcd");
  EXPECT_EQ(arena.store(""), "");
  EXPECT_NE(arena.store("").data(), nullptr);
}

TEST(TextArena, ClearKeepsTheFirstBlockOfTheUsualSize) {
  TextArena arena;
  const char* first = arena.store("first").data();
  for (int i = 0; i < 3; ++i) arena.store(std::string(kBlock / 2, 'x'));
  arena.clear();
  EXPECT_EQ(arena.allocated_bytes(), kBlock);
  EXPECT_EQ(arena.store("again").data(), first);
  EXPECT_EQ(std::string_view(first, 5), "again");
  // A text that fills the kept block exactly still goes into it.
  arena.clear();
  EXPECT_EQ(arena.store(std::string(kBlock, 'y')).data(), first);
  EXPECT_EQ(arena.allocated_bytes(), kBlock);
}

TEST(TextArena, ClearReleasesAFirstBlockLargerThanUsual) {
  TextArena arena;
  arena.store(std::string(kBlock + 1, 'z'));
  EXPECT_EQ(arena.allocated_bytes(), kBlock + 1);
  arena.clear();
  EXPECT_EQ(arena.allocated_bytes(), 0U);
  EXPECT_EQ(arena.store("small"), "small");
  EXPECT_EQ(arena.allocated_bytes(), kBlock);
}

}  // namespace
}  // namespace sornik
