// Escaping, searching and default rendering of marked texts.
#include "render/marker.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sornik {

namespace {

// The position of the first byte 0x01 to 0x04 at or after `pos`, or
// text.size(). Marks are rare: sixteen bytes are tested at a time where SSE2
// is there, else eight while none is below 5 (only a NUL byte then makes a
// word be looked at more closely).
std::size_t next_mark_byte(std::string_view text, std::size_t pos) {
#if defined(__SSE2__)
  const __m128i one = _mm_set1_epi8(1);
  const __m128i three = _mm_set1_epi8(3);
  for (; pos + 16 <= text.size(); pos += 16) {
    // A byte is a mark when it is 1 to 4, that is when it less one is at most 3 unsigned.
    const __m128i less_one =
        _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos)), one);
    const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(less_one, three), less_one));
    if (mask != 0) return pos + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
  }
#endif
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  for (;;) {
    for (std::uint64_t word; pos + 8 <= text.size(); pos += 8) {
      std::memcpy(&word, text.data() + pos, 8);
      if (((word - 5 * kOnes) & ~word & kHighs) != 0) break;
    }
    if (pos >= text.size()) return text.size();
    const std::size_t end = std::min(pos + 8, text.size());
    for (; pos < end; ++pos) {
      if (is_mark_byte(text[pos])) return pos;
    }
  }
}

}  // namespace

std::size_t escaped_size(std::string_view text) {
  std::size_t size = text.size();
  for (std::size_t pos = next_mark_byte(text, 0); pos < text.size(); pos = next_mark_byte(text, pos + 1))
    ++size;
  return size;
}

void append_escaped(std::string& out, std::string_view text) {
  std::size_t from = 0;
  for (std::size_t pos = next_mark_byte(text, 0); pos < text.size(); pos = next_mark_byte(text, pos + 1)) {
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

void append_default_rendering(std::string& out, std::string_view text) {
  // An empty view may have no data for memcpy to copy from.
  if (text.empty()) return;
  // The rendering is never longer than the text: each mark becomes at most
  // one byte and each escape pair one byte.
  const std::size_t start = out.size();
  out.resize(start + text.size());
  char* const begin = out.data() + start;
  char* to = begin;
  std::size_t from = 0;
  for (std::size_t pos = next_mark_byte(text, 0); pos < text.size(); pos = next_mark_byte(text, from)) {
    std::memcpy(to, text.data() + from, pos - from);
    to += pos - from;
    from = pos + 1;
    switch (text[pos]) {
      case kEscapeMark:
        // A lone escape at the very end stands for nothing.
        if (from < text.size()) *to++ = text[from++];
        break;
      case kSeparatorMark: *to++ = '`'; break;
      case kEndMark: *to++ = '\''; break;
      default: break;
    }
  }
  std::memcpy(to, text.data() + from, text.size() - from);
  to += text.size() - from;
  out.resize(start + static_cast<std::size_t>(to - begin));
}

std::size_t find_mark(std::string_view text, std::size_t pos) {
  for (pos = next_mark_byte(text, pos); pos < text.size(); pos = next_mark_byte(text, pos + 2)) {
    if (text[pos] != kEscapeMark) return pos;
  }
  return text.size();
}

}  // namespace sornik
