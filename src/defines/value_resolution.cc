// Placeholder until value resolution lands.
#include "defines/value_resolution.h"

namespace sornik {

std::size_t get_word(std::string_view text, std::size_t, std::string_view& word, std::string_view& separator) {
  word = {};
  separator = {};
  return text.size();
}

int set_value() { return 0; }

}  // namespace sornik
