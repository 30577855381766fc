// The two line buffers of the default mode, ibuf and obuf, and the way
// obuf grows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sornik {

// The two line buffers of the run: ibuf holds the text to scan, obuf the text
// built from it. Their texts carry explicit lengths, so NUL bytes are kept.
// ibuf_len and obuf_len are their capacities: 1025 at the start, then only
// growing, in steps of 1024 bytes.
extern std::string ibuf;
extern std::string obuf;
extern int ibuf_len;
extern int obuf_len;

// The capacity both buffers start with.
inline constexpr int kLineBufferStart = 1025;

// Makes room for `more` bytes after obuf's text: raises obuf_len by 1024 as
// often as the text would reach it. Stops the run when no int can hold it.
void obuf_make_room(std::size_t more);

// Appends `text` to obuf, making room first.
void obuf_append(std::string_view text);

// Appends `text` to obuf with an escape mark before each mark byte (see
// render/marker.h), making room first.
void obuf_append_escaped(std::string_view text);

// Empties obuf and makes room for a text of `size` bytes and its NUL.
void obuf_restart(std::size_t size);

// Hands ibuf's text over to obuf unchanged; ibuf counts as used up.
void obuf_take_ibuf();

// Makes ibuf at least as large as obuf, then copies obuf's text into ibuf.
void copy_obuf_to_ibuf();

// Gives both buffers their starting capacity and empties them.
void reset_line_buffers();

}  // namespace sornik
