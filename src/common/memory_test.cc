// Tests of memory that cannot be had: the message that ends the run, and how large
// one built text may grow.
#include "common/memory.h"

#include <gtest/gtest.h>
#include <limits>

#include "captured_io.h"
#include "common/fatal.h"

namespace sornik {
namespace {

std::string exhausted_message(std::size_t size) {
  testing::CapturedIo io;
  EXPECT_THROW(memory_exhausted(size), FatalStop);
  return io.err();
}

TEST(MemoryExhausted, ReportsBytesUpTo1000AndKilobytesAbove) {
  EXPECT_EQ(exhausted_message(10), "cannot get the memory of 10 bytes\n");
  EXPECT_EQ(exhausted_message(1000), "cannot get the memory of 1000 bytes\n");
  EXPECT_EQ(exhausted_message(1001), "cannot get the memory of 1 K bytes\n");
  EXPECT_EQ(exhausted_message(5999), "cannot get the memory of 5 K bytes\n");
}

TEST(MemoryExhausted, SizesBeyondAnIntAreCappedInTheMessage) {
  EXPECT_EQ(exhausted_message(std::numeric_limits<std::size_t>::max()),
            "cannot get the memory of 2147483647 K bytes\n");
}

}  // namespace
}  // namespace sornik
