// Tests of zero-filled page memory for large tables, arenas and file texts, in huge
// pages where a block is large enough.
#include "common/page_memory.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

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

struct Mapping {
  std::uintptr_t start = 0;
  std::uintptr_t end = 0;
  std::string flags;          // its VmFlags line
  std::string huge_pages_kb;  // the figure of its AnonHugePages line
};

// The mapping of this process that holds `address`, from /proc/self/smaps.
Mapping mapping_of(const void* address) {
  const auto wanted = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  Mapping found;
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
    char dash = 0;
    std::istringstream fields(line);
    if (fields >> std::hex >> start >> dash >> end && dash == '-') {
      inside = start <= wanted && wanted < end;
      if (inside) found = {start, end, "", ""};
    } else if (inside && line.starts_with("VmFlags:")) {
      found.flags = line;
    } else if (inside && line.starts_with("AnonHugePages:")) {
      std::istringstream(line.substr(line.find(':') + 1)) >> found.huge_pages_kb;
    }
  }
  return found;
}

TEST(HugePageHeap, TheNextHeapBlocksComeFromOneAlignedHugePage) {
  const bool started = start_heap_on_huge_page();
  EXPECT_EQ(start_heap_on_huge_page(), started);  // once per process
  if (kAddressSanitizer) {
    EXPECT_FALSE(started);
    return;
  }
  ASSERT_TRUE(started);
  // Larger than any block freed before, smaller than the heap's own
  // threshold for blocks mapped apart.
  void* block = std::malloc(100 * 1024);
  const Mapping mapping = mapping_of(block);
  EXPECT_EQ(mapping.start % kHugePageSize, 0u);
  EXPECT_EQ(mapping.end - mapping.start, kHugePageSize);
  EXPECT_NE(mapping.flags.find(" hg"), std::string::npos) << mapping.flags;
  // The block starts right after its header at the page's start.
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block), mapping.start + 16);
  // Its first touch brought in one huge page (unless the system has none).
  std::ifstream enabled("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  std::getline(enabled, modes);
  if (modes.find("[never]") == std::string::npos && !modes.empty()) {
    EXPECT_EQ(mapping_of(block).huge_pages_kb, std::to_string(kHugePageSize / 1024)) << modes;
  }
  std::free(block);
}

}  // namespace
}  // namespace sornik
