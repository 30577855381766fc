#include "expand/bracket_list.h"

#include <array>
#include <cstdint>

namespace sornik {

namespace {

// The bytes close_by_brackets looks at: brackets, quotes and the slash.
constexpr std::array<bool, 256> kListStops = [] {
  std::array<bool, 256> stops{};
  for (const unsigned char c : {'(', ')', '[', ']', '{', '}', '<', '>', '\'', '"', '/'}) stops[c] = true;
  return stops;
}();

}  // namespace

std::size_t close_by_brackets(std::string_view region) {
  const char open = region[0];
  const char close = open == '(' ? ')' : open == '[' ? ']' : open == '{' ? '}' : '>';
  int depth = 0;
  for (std::size_t pos = 0; pos < region.size(); ++pos) {
    const char c = region[pos];
    if (!kListStops[static_cast<std::uint8_t>(c)]) continue;
    if (c == open) {
      ++depth;
    } else if (c == close) {
      if (--depth == 0) return pos;
    } else if (c == '\'' || c == '"' || c == '/') {
      return kUndecided;
    }
  }
  return kNotClosed;
}

}  // namespace sornik
