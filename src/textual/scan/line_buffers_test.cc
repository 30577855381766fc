// Tests of the two line buffers of the default mode, ibuf and obuf, and the way
// obuf grows.
#include "textual/scan/line_buffers.h"

#include <gtest/gtest.h>
#include <limits>

#include "captured_io.h"
#include "common/fatal.h"

namespace sornik {
namespace {

TEST(LineBuffers, GrowInStepsOf1024) {
  reset_line_buffers();
  obuf_append(std::string(1000, 'x'));
  obuf_make_room(24);
  EXPECT_EQ(obuf_len, 1025);
  obuf_make_room(25);
  EXPECT_EQ(obuf_len, 2049);
  EXPECT_GE(obuf.capacity(), 2049u);
  obuf_restart(5120);
  EXPECT_EQ(obuf, "");
  EXPECT_EQ(obuf_len, 6145) << "room for the text and its NUL";
}

TEST(LineBuffers, ObufTakesIbufAndIbufFollowsObuf) {
  reset_line_buffers();
  ibuf.assign(std::string(3000, 'a') + '\0');
  obuf_take_ibuf();
  EXPECT_EQ(obuf, std::string(3000, 'a') + '\0');
  EXPECT_EQ(obuf_len, 3073);
  EXPECT_EQ(ibuf_len, 1025);
  copy_obuf_to_ibuf();
  EXPECT_EQ(ibuf, obuf);
  EXPECT_EQ(ibuf_len, obuf_len);
}

TEST(LineBuffers, CapacityBeyondAnIntIsMemoryThatCannotBeHad) {
  reset_line_buffers();
  testing::CapturedIo io;
  EXPECT_THROW(obuf_make_room(std::numeric_limits<int>::max()), FatalStop);
  obuf_append("0123456789");
  EXPECT_THROW(obuf_make_room(std::numeric_limits<std::size_t>::max() - 5), FatalStop);
  EXPECT_EQ(io.err(), "cannot get the memory of 2147483 K bytes\ncannot get the memory of 2147483 K bytes\n");
  EXPECT_EQ(obuf_len, 1025);
}

}  // namespace
}  // namespace sornik
