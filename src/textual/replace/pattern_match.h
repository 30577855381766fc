// Matching one pattern of a replacement template at one position
// (checkstr), and the captures it fills.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sornik {

// The capture buffers of the engine, one per class of "$A", "$a", "$d", "$g",
// "$c", "$x" and "$s" ("$$" in a pattern fills arg_A). They keep their content
// from one match attempt, pair and call to the next.
struct CaptureBuffers {
  std::string arg_A;
  std::string arg_a;
  std::string arg_d;
  std::string arg_g;
  std::string arg_c;
  std::string arg_x;
  std::string arg_s;
};

// The captures filled so far.
const CaptureBuffers& captures();

// The buffer that the sequence "$<letter>" of a replacement inserts, or null
// when no capture class goes by that letter ("$" included).
const std::string* capture_for(char letter);

// The text of the last successful match; emptied by every match attempt. It
// points into the text that checkstr was given.
std::string_view from_arg();

// To be called before the text given to checkstr changes or goes away: the
// captures it holds are copied into their buffers.
void release_text();

// Forgets every capture and the last match.
void reset_captures();

// The byte that every match of `pattern` begins with, when the pattern fixes
// one; lets a scan skip the positions where checkstr cannot match.
std::optional<char> first_byte_of_match(std::string_view pattern);

// Tries to match `pattern` at exactly `pos` of `text`. `after_two_byte` tells
// that the character just before `pos` was a two-byte character. Returns the
// position just after the match; a match of length zero counts as none.
std::optional<std::size_t> checkstr(std::string_view text, std::size_t pos, std::string_view pattern,
                                    bool after_two_byte);

}  // namespace sornik
