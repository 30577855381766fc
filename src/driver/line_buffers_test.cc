#include "driver/line_buffers.h"

#include <gtest/gtest.h>
#include <limits>

#include "captured_io.h"
#include "services/fatal.h"

namespace sornik {
namespace {

TEST(LineBuffers, GrowInStepsOf1024) {
  reset_line_buffers();
  grow_line_buffer(obuf, obuf_len, 1000, 24);
  EXPECT_EQ(obuf_len, 1025);
  grow_line_buffer(obuf, obuf_len, 1000, 25);
  EXPECT_EQ(obuf_len, 2049);
  EXPECT_GE(obuf.capacity(), 2049u);
  grow_line_buffer(obuf, obuf_len, 0, 5000);
  EXPECT_EQ(obuf_len, 5121);
}

TEST(LineBuffers, CapacityBeyondAnIntIsMemoryThatCannotBeHad) {
  reset_line_buffers();
  testing::CapturedIo io;
  const std::size_t largest = std::numeric_limits<int>::max();
  EXPECT_THROW(grow_line_buffer(obuf, obuf_len, largest - 100, 200), FatalStop);
  EXPECT_THROW(grow_line_buffer(obuf, obuf_len, 10, std::numeric_limits<std::size_t>::max() - 5), FatalStop);
  EXPECT_EQ(io.err(), "cannot get the memory of 2147483 K bytes\ncannot get the memory of 2147483 K bytes\n");
  EXPECT_EQ(obuf_len, 1025);
}

}  // namespace
}  // namespace sornik
