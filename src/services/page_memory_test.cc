#include "services/page_memory.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>

namespace sornik {
namespace {

TEST(PageArray, LargeArraysStartOnAHugePageAndAllStartZero) {
  for (const std::size_t size : {std::size_t{1}, kHugePageSize - 1, kHugePageSize, 3 * kHugePageSize + 5}) {
    PageArray<char> array(size);
    ASSERT_EQ(array.size(), size);
    EXPECT_TRUE(std::all_of(array.begin(), array.end(), [](char byte) {
      return byte == 0;
    })) << size;
    if (size >= kHugePageSize) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(array.data()) % kHugePageSize, 0u) << size;
    }
    array[size - 1] = 'z';  // the last byte is the block's
  }
}

TEST(PageArray, ResizeKeepsThePrefixAcrossTheHugePageSize) {
  PageArray<std::uint32_t> array(1000);
  for (std::uint32_t i = 0; i < 1000; ++i) array[i] = i + 1;
  array.resize(kHugePageSize, 999);
  ASSERT_EQ(array.size(), kHugePageSize);
  for (std::uint32_t i = 0; i < 999; ++i) ASSERT_EQ(array[i], i + 1);
  EXPECT_EQ(array[999], 0u);
  EXPECT_EQ(array[kHugePageSize - 1], 0u);
  PageArray<std::uint32_t> moved(std::move(array));
  EXPECT_EQ(moved[998], 999u);
}

}  // namespace
}  // namespace sornik
