#include "expand/marker.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace sornik {

std::size_t escaped_size(std::string_view text) {
  return text.size() + static_cast<std::size_t>(std::count_if(text.begin(), text.end(), is_mark_byte));
}

void append_escaped(std::string& out, std::string_view text) {
  std::size_t from = 0;
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (!is_mark_byte(text[pos])) continue;
    out.append(text, from, pos - from);
    out.push_back(kEscapeMark);
    from = pos;
  }
  out.append(text, from, text.size() - from);
}

void append_unescaped(std::string& out, std::string_view text) {
  std::size_t from = 0;
  for (std::size_t pos = text.find(kEscapeMark); pos != std::string_view::npos;
       pos = text.find(kEscapeMark, pos + 2)) {
    out.append(text, from, pos - from);
    from = pos + 1;
  }
  out.append(text, from, text.size() - from);
}

std::size_t find_mark(std::string_view text, std::size_t pos) {
  // Eight bytes at a time while none of them is below 5; marks are rare.
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  for (std::uint64_t word; pos + 8 <= text.size(); pos += 8) {
    std::memcpy(&word, text.data() + pos, 8);
    if (((word - 5 * kOnes) & ~word & kHighs) != 0) break;
  }
  for (; pos < text.size(); ++pos) {
    if (!is_mark_byte(text[pos])) continue;
    if (text[pos] != kEscapeMark) return pos;
    ++pos;
  }
  return text.size();
}

GroupParts split_group(std::string_view text, std::size_t start) {
  std::size_t separator = text.size();
  int depth = 0;
  std::size_t pos = find_mark(text, start + 1);
  for (; pos < text.size(); pos = find_mark(text, pos + 1)) {
    if (text[pos] == kSeparatorMark) {
      if (depth == 0) separator = pos;
      ++depth;
    } else if (text[pos] == kEndMark && --depth == 0) {
      break;
    }
  }
  const std::size_t name_end = std::min(separator, pos);
  const std::size_t expansion_start = std::min(separator + 1, pos);
  return {text.substr(start + 1, name_end - start - 1), text.substr(expansion_start, pos - expansion_start), pos};
}

}  // namespace sornik
