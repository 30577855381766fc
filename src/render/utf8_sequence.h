// Well-formed UTF-8 sequences found in bytes that need not be UTF-8.
#pragma once

#include <cstddef>
#include <string_view>

namespace sornik {

// The length of the well-formed UTF-8 sequence at `pos` (lead byte 0x80 or
// above), or 0 when there is none: no overlong form, no surrogate, nothing
// above U+10FFFF.
std::size_t utf8_sequence_length(std::string_view bytes, std::size_t pos);

}  // namespace sornik
