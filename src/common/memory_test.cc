#include "common/memory.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "captured_io.h"
#include "common/fatal.h"

namespace sornik {
namespace {

void* refuse(std::size_t) { return nullptr; }
void* refuse_resize(void*, std::size_t) { return nullptr; }

// Fails every request for exactly `refused_size` bytes and dirties the rest.
std::size_t refused_size = 0;
void* refuse_one_size(std::size_t size) {
  if (size == refused_size) return nullptr;
  void* block = std::malloc(size);
  std::memset(block, 0xAB, size);
  return block;
}

class FailingAllocator {
 public:
  explicit FailingAllocator(Allocator failing) : saved_(set_allocator(failing)) {}
  ~FailingAllocator() { set_allocator(saved_); }

 private:
  Allocator saved_;
};

std::string getmem_failure(int size) {
  testing::CapturedIo io;
  FailingAllocator failing({refuse, refuse_resize});
  EXPECT_THROW(getmem(size), FatalStop);
  return io.err();
}

TEST(GetMem, ReportsBytesUpTo1000AndKilobytesAbove) {
  EXPECT_EQ(getmem_failure(1000), "\ncannot get the memory of 1000 bytes\n");
  EXPECT_EQ(getmem_failure(1001), "\ncannot get the memory of 1 K bytes\n");
  EXPECT_EQ(getmem_failure(1999), "\ncannot get the memory of 1 K bytes\n");
}

TEST(GetMem, HugeRequestReturnsNull) {
  testing::CapturedIo io;
  FailingAllocator failing({refuse, refuse_resize});
  EXPECT_EQ(getmem(terminate_size), nullptr);
  EXPECT_EQ(io.err(), "\ncannot get the memory of 2147483 K bytes\n");
}

TEST(GetMem, RetriedBlockIsZeroFilled) {
  refused_size = 64;
  FailingAllocator failing({refuse_one_size, std::realloc});
  auto* block = static_cast<unsigned char*>(getmem(64));
  for (int i = 0; i < 64; ++i) EXPECT_EQ(block[i], 0);
  freemem(block);
}

TEST(MoreMem, FailureEndsTheRunWithoutLeadingNewline) {
  testing::CapturedIo io;
  FailingAllocator failing({refuse, refuse_resize});
  EXPECT_THROW(moremem(nullptr, 5000), FatalStop);
  EXPECT_THROW(moremem(nullptr, 10), FatalStop);
  EXPECT_EQ(io.err(), "cannot get the memory of 5 K bytes\ncannot get the memory of 10 bytes\n");
}

TEST(SetStr, CopiesEveryByteAndReportsFailure) {
  char* copy = setstr(std::string_view("a\0b", 3));
  EXPECT_EQ(std::memcmp(copy, "a\0b", 4), 0);
  freemem(copy);
  freemem(nullptr);

  testing::CapturedIo io;
  FailingAllocator failing({refuse, refuse_resize});
  EXPECT_THROW(setstr("x"), FatalStop);
  EXPECT_EQ(io.err(), "cannot get memory\n");
}

}  // namespace
}  // namespace sornik
