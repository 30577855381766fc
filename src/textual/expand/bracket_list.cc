// Where a call's bracketed argument list closes, counted a block at a time
// when no quote or slash comes first.
#include "textual/expand/bracket_list.h"

#include <array>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sornik {

namespace {

// The bytes close_by_brackets looks at: brackets, quotes and the slash.
constexpr std::array<bool, 256> kListStops = [] {
  std::array<bool, 256> stops{};
  for (const unsigned char c : {'(', ')', '[', ']', '{', '}', '<', '>', '\'', '"', '/'}) stops[c] = true;
  return stops;
}();

// What the byte `c` at `pos` does to the count; true when it decides the
// result, which `result` then holds.
bool count_byte(char c, char open, char close, std::size_t pos, int& depth, std::size_t& result) {
  if (c == open) {
    ++depth;
  } else if (c == close) {
    if (--depth == 0) {
      result = pos;
      return true;
    }
  } else if (c == '\'' || c == '"' || c == '/') {
    result = kUndecided;
    return true;
  }
  return false;
}

}  // namespace

std::size_t close_by_brackets(std::string_view region) {
  const char open = region[0];
  const char close = open == '(' ? ')' : open == '[' ? ']' : open == '{' ? '}' : '>';
  int depth = 0;
  std::size_t result = kNotClosed;
  std::size_t pos = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: only the list's own brackets, quotes and the
  // slash are looked at one by one.
  const __m128i opens = _mm_set1_epi8(open);
  const __m128i closes = _mm_set1_epi8(close);
  const __m128i quotes = _mm_set1_epi8('"');
  const __m128i apostrophes = _mm_set1_epi8('\'');
  const __m128i slashes = _mm_set1_epi8('/');
  for (; pos + 16 <= region.size(); pos += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(region.data() + pos));
    const __m128i brackets = _mm_or_si128(_mm_cmpeq_epi8(bytes, opens), _mm_cmpeq_epi8(bytes, closes));
    const __m128i others =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, quotes), _mm_cmpeq_epi8(bytes, apostrophes)),
                     _mm_cmpeq_epi8(bytes, slashes));
    for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(brackets, others))); mask != 0;
         mask &= mask - 1) {
      const std::size_t at = pos + static_cast<std::size_t>(std::countr_zero(mask));
      if (count_byte(region[at], open, close, at, depth, result)) return result;
    }
  }
#endif
  for (; pos < region.size(); ++pos) {
    const char c = region[pos];
    if (kListStops[static_cast<std::uint8_t>(c)] && count_byte(c, open, close, pos, depth, result))
      return result;
  }
  return kNotClosed;
}

}  // namespace sornik
