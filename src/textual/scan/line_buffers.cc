// The two line buffers of the default mode, ibuf and obuf, and the way
// obuf grows.
#include "textual/scan/line_buffers.h"

#include <limits>

#include "common/diagnostics.h"
#include "common/fatal.h"
#include "render/marker.h"

namespace sornik {

std::string ibuf;
std::string obuf;
int ibuf_len = kLineBufferStart;
int obuf_len = kLineBufferStart;

namespace {

// Makes room for `more` bytes after the first `count` bytes of obuf.
void make_room(std::size_t count, std::size_t more) {
  // A capacity is an int: a text that would need more is memory that cannot be had.
  constexpr std::size_t kLargest = std::numeric_limits<int>::max() - 1024;
  if (count > kLargest || more > kLargest - count) {
    errmsg("cannot get the memory of %d K bytes\n", std::numeric_limits<int>::max() / 1000);
    fatal_stop();
  }
  while (count + more >= static_cast<std::size_t>(obuf_len)) obuf_len += 1024;
  if (obuf.capacity() < static_cast<std::size_t>(obuf_len)) obuf.reserve(obuf_len);
}

}  // namespace

void obuf_make_room(std::size_t more) { make_room(obuf.size(), more); }

void obuf_append(std::string_view text) {
  obuf_make_room(text.size());
  obuf.append(text);
}

void obuf_append_escaped(std::string_view text) {
  // Most texts hold no byte to escape: one scan finds that, one copy follows.
  const std::size_t size = escaped_size(text);
  obuf_make_room(size);
  if (size == text.size()) {
    obuf.append(text);
  } else {
    append_escaped(obuf, text);
  }
}

void obuf_restart(std::size_t size) {
  obuf.clear();
  make_room(0, size + 1);
}

void obuf_take_ibuf() {
  obuf.swap(ibuf);
  make_room(0, obuf.size() + 1);
}

void copy_obuf_to_ibuf() {
  if (ibuf_len < obuf_len) {
    ibuf_len = obuf_len;
    ibuf.reserve(ibuf_len);
  }
  ibuf.assign(obuf);
}

void reset_line_buffers() {
  ibuf_len = kLineBufferStart;
  obuf_len = kLineBufferStart;
  ibuf.clear();
  obuf.clear();
  ibuf.reserve(ibuf_len);
  obuf.reserve(obuf_len);
}

}  // namespace sornik
