#pragma once

#include <cstddef>
#include <string_view>

namespace sornik {

// Cuts the separator text and the identifier word that start at `pos` in
// `text` (each at most 1024 bytes); returns the position after the word.
// Both results live until the next call.
std::size_t get_word(std::string_view text, std::size_t pos, std::string_view& word,
                     std::string_view& separator);

// Rewrites every define value through the object-like defines it names.
// Returns 0, or -1 after "no end loop\n" when the growth budget ran out.
int set_value();

}  // namespace sornik
