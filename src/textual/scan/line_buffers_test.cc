// Tests of the two line buffers of the default mode, ibuf and obuf, and the way
// obuf grows.
#include "textual/scan/line_buffers.h"

#include <gtest/gtest.h>
#include <limits>

#include "captured_io.h"
#include "common/fatal.h"
#include "render/marker.h"

namespace sornik {
namespace {

// Room made for a text is there: appending it moves nothing.
TEST(LineBuffers, RoomMadeTakesTheTextWhereItLies) {
  LineBuffers buffers;
  buffers.obuf_append(std::string(1000, 'x'));
  for (const std::size_t more : {24u, 25u, 5000u}) {
    buffers.obuf_make_room(more);
    const char* before = buffers.obuf.data();
    buffers.obuf.append(more, 'y');
    EXPECT_EQ(buffers.obuf.data(), before) << more;
  }
  EXPECT_EQ(buffers.obuf, std::string(1000, 'x') + std::string(5049, 'y'));
}

TEST(LineBuffers, ObufTakesIbufAndIbufFollowsObuf) {
  LineBuffers buffers;
  buffers.ibuf.assign(std::string(3000, 'a') + '\0');
  buffers.obuf_take_ibuf();
  EXPECT_EQ(buffers.obuf, std::string(3000, 'a') + '\0');
  buffers.obuf_append(std::string_view("\0b", 2));
  buffers.copy_obuf_to_ibuf();
  EXPECT_EQ(buffers.ibuf, std::string(3000, 'a') + '\0' + '\0' + 'b');
  EXPECT_EQ(buffers.ibuf, buffers.obuf);
}

TEST(LineBuffers, EscapedTextsKeepTheirMarksApart) {
  LineBuffers buffers;
  buffers.obuf_append_escaped("plain");
  buffers.obuf_append_escaped(std::string_view("a\x01z", 3));
  std::string expected = "plain";
  append_escaped(expected, std::string_view("a\x01z", 3));
  EXPECT_EQ(buffers.obuf, expected);
  EXPECT_EQ(buffers.obuf.size(), 9u);
}

TEST(LineBuffers, CapacityBeyondAnIntIsMemoryThatCannotBeHad) {
  LineBuffers buffers;
  testing::CapturedIo io;
  EXPECT_THROW(buffers.obuf_make_room(std::numeric_limits<int>::max()), FatalStop);
  buffers.obuf_append("0123456789");
  EXPECT_THROW(buffers.obuf_make_room(std::numeric_limits<std::size_t>::max() - 5), FatalStop);
  EXPECT_EQ(io.err(), "cannot get the memory of 2147483 K bytes\ncannot get the memory of 2147483 K bytes\n");
  EXPECT_EQ(buffers.obuf, "0123456789");
}

}  // namespace
}  // namespace sornik
