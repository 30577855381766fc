// The two line buffers of the default mode, ibuf and obuf, and the way
// obuf grows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sornik {

// The two line buffers of a run: ibuf holds the text to scan, obuf the text
// built from it. Their texts carry explicit lengths, so NUL bytes are kept.
// Their capacities (ibuf_len_, obuf_len_) start at 1025 bytes and only grow,
// in steps of 1024 bytes; a text that an int could not count stops the run.
class LineBuffers {
 public:
  LineBuffers();
  LineBuffers(const LineBuffers&) = delete;
  LineBuffers& operator=(const LineBuffers&) = delete;

  std::string ibuf;
  std::string obuf;

  // Makes room for `more` bytes after obuf's text: raises obuf's capacity by
  // 1024 as often as the text would reach it. Stops the run when no int can
  // hold it.
  void obuf_make_room(std::size_t more);

  // Appends `text` to obuf, making room first.
  void obuf_append(std::string_view text);

  // Appends `text` to obuf with an escape mark before each mark byte (see
  // render/marker.h), making room first.
  void obuf_append_escaped(std::string_view text);

  // Hands ibuf's text over to obuf unchanged; ibuf counts as used up.
  void obuf_take_ibuf();

  // Makes ibuf at least as large as obuf, then copies obuf's text into ibuf.
  void copy_obuf_to_ibuf();

 private:
  // Makes room for `more` bytes after the first `count` bytes of obuf.
  void make_room(std::size_t count, std::size_t more);

  int ibuf_len_;
  int obuf_len_;
};

}  // namespace sornik
