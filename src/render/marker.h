// The marks of a marked text, and the escaping, search and default
// rendering that work on its bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sornik {

// A marked text holds each expanded use as a group: the start mark, the name
// text, the separator mark, the expansion text (which may hold whole groups
// of its own), the end mark. Every byte 0x01 to 0x04 that comes from outside
// (source lines, define values, the format) is written after an escape mark,
// so that only the marks written by expansion count as marks.
inline constexpr char kSeparatorMark = '\x01';
inline constexpr char kEndMark = '\x02';
inline constexpr char kStartMark = '\x03';
inline constexpr char kEscapeMark = '\x04';

// True for the bytes 0x01 to 0x04: the marks and the escape.
inline bool is_mark_byte(char c) { return static_cast<unsigned char>(c) - 1u < 4u; }

// Appends `text` to `out`, an escape mark before each byte 0x01 to 0x04.
void append_escaped(std::string& out, std::string_view text);

// The number of bytes append_escaped adds for `text`.
std::size_t escaped_size(std::string_view text);

// Appends the marked `text` to `out` with every escape pair turned back into
// its byte; marks are copied as they are.
void append_unescaped(std::string& out, std::string_view text);

// Appends the marked `text` to `out` rendered in the default form, "$n`$x'":
// a separator mark becomes a backquote, an end mark an apostrophe, a start
// mark nothing, and every escape pair the byte it stands for.
void append_default_rendering(std::string& out, std::string_view text);

// The position of the first mark at or after `pos` that is not escaped
// (`pos` must not be the second byte of an escape pair); text.size() if none.
std::size_t find_mark(std::string_view text, std::size_t pos);

}  // namespace sornik
