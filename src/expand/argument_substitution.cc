// Placeholder until argument substitution lands.
#include "expand/argument_substitution.h"

namespace sornik {

std::size_t get_csvword(std::string_view text, std::size_t, std::string_view& word) {
  word = {};
  return text.size();
}

std::optional<std::string_view> convert_str(int, std::string_view, std::string_view, std::string_view) {
  return std::nullopt;
}

}  // namespace sornik
