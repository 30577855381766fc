// Searches in texts of two-byte characters: a byte found never is the second
// byte of such a character.
#include "common/byte_search.h"

namespace sornik {

namespace {

// Walks `text` character by character and returns the first (or last) match.
std::size_t search(std::string_view text, int c, bool want_last) {
  const char wanted = static_cast<char>(c & 0xFF);
  if (wanted == '\0') return std::string_view::npos;
  std::size_t found = std::string_view::npos;
  for (std::size_t pos = 0; pos < text.size();) {
    if (text[pos] == wanted) {
      if (!want_last) return pos;
      found = pos;
    }
    pos += starts_two_byte_char(text, pos) ? 2 : 1;
  }
  return found;
}

}  // namespace

std::size_t Strchr(std::string_view text, int c) { return search(text, c, false); }

std::size_t Strrchr(std::string_view text, int c) { return search(text, c, true); }

}  // namespace sornik
