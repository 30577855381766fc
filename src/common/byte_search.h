// Searches in texts of two-byte characters: a byte found never is the second
// byte of such a character.
#pragma once

#include <string_view>

#include "common/byte_class.h"

namespace sornik {

// True when a two-byte character starts at `pos`: a lead byte followed by a
// byte other than NUL. A lead byte that ends the text is an ordinary byte.
inline bool starts_two_byte_char(std::string_view text, std::size_t pos) {
  return is_lead_byte(text[pos]) && pos + 1 < text.size() && text[pos + 1] != '\0';
}

// Position of the first byte equal to the low byte of `c`, never the second
// byte of a two-byte character; npos when none (always for the value 0).
std::size_t Strchr(std::string_view text, int c);

// Position of the last such byte, or npos.
std::size_t Strrchr(std::string_view text, int c);

}  // namespace sornik
