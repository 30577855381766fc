// The two line buffers of the default mode, ibuf and obuf, and the way
// obuf grows.
#include "textual/scan/line_buffers.h"

#include <limits>

#include "common/diagnostics.h"
#include "common/fatal.h"
#include "render/marker.h"

namespace sornik {

namespace {

// The capacity both buffers start with.
constexpr int kLineBufferStart = 1025;

}  // namespace

LineBuffers::LineBuffers() : ibuf_len_(kLineBufferStart), obuf_len_(kLineBufferStart) {
  ibuf.reserve(ibuf_len_);
  obuf.reserve(obuf_len_);
}

void LineBuffers::make_room(std::size_t count, std::size_t more) {
  // A capacity is an int: a text that would need more is memory that cannot be had.
  constexpr std::size_t kLargest = std::numeric_limits<int>::max() - 1024;
  if (count > kLargest || more > kLargest - count) {
    errmsg("cannot get the memory of %d K bytes\n", std::numeric_limits<int>::max() / 1000);
    fatal_stop();
  }
  while (count + more >= static_cast<std::size_t>(obuf_len_)) obuf_len_ += 1024;
  if (obuf.capacity() < static_cast<std::size_t>(obuf_len_)) obuf.reserve(obuf_len_);
}

void LineBuffers::obuf_make_room(std::size_t more) { make_room(obuf.size(), more); }

void LineBuffers::obuf_append(std::string_view text) {
  obuf_make_room(text.size());
  obuf.append(text);
}

void LineBuffers::obuf_append_escaped(std::string_view text) {
  // Most texts hold no byte to escape: one scan finds that, one copy follows.
  const std::size_t size = escaped_size(text);
  obuf_make_room(size);
  if (size == text.size()) {
    obuf.append(text);
  } else {
    append_escaped(obuf, text);
  }
}

void LineBuffers::obuf_take_ibuf() {
  obuf.swap(ibuf);
  make_room(0, obuf.size() + 1);
}

void LineBuffers::copy_obuf_to_ibuf() {
  if (ibuf_len_ < obuf_len_) {
    ibuf_len_ = obuf_len_;
    ibuf.reserve(ibuf_len_);
  }
  ibuf.assign(obuf);
}

}  // namespace sornik
