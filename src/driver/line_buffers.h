#pragma once

#include <cstddef>
#include <string>

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

// Before writing `more` bytes to a buffer already holding `count`: raises
// `capacity` by 1024 as often as count + more reaches it, and reserves that much.
void grow_line_buffer(std::string& buffer, int& capacity, std::size_t count, std::size_t more);

// Makes ibuf at least as large as obuf, then copies obuf's text into ibuf.
void copy_obuf_to_ibuf();

// Gives both buffers their starting capacity and empties them.
void reset_line_buffers();

}  // namespace sornik
