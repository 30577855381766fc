#include "cmode/logical_lines.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sornik::cmode {

namespace {

// The bytes at which a line scan has to look closer.
constexpr std::array<bool, 256> make_stops() {
  std::array<bool, 256> stops{};
  for (char c : std::string_view("\n\"'/\\")) stops[static_cast<unsigned char>(c)] = true;
  return stops;
}
constexpr std::array<bool, 256> kStops = make_stops();

// The position of the first stop byte at or after `pos`, or the size.
std::size_t find_stop(const unsigned char* bytes, std::size_t pos, std::size_t size) {
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i apostrophe = _mm_set1_epi8('\'');
  const __m128i slash = _mm_set1_epi8('/');
  const __m128i backslash = _mm_set1_epi8('\\');
  for (; pos + 16 <= size; pos += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(block, newline), _mm_cmpeq_epi8(block, quote)),
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, apostrophe), _mm_cmpeq_epi8(block, slash)),
                     _mm_cmpeq_epi8(block, backslash)));
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0) return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  while (pos < size && !kStops[bytes[pos]]) ++pos;
  return pos;
}

// The length of the splice at `pos` (2 or 3), or 0 when none stands there.
std::size_t splice_at(std::string_view text, std::size_t pos) {
  if (pos >= text.size() || text[pos] != '\\') return 0;
  if (pos + 1 < text.size() && text[pos + 1] == '\n') return 2;
  if (pos + 2 < text.size() && text[pos + 1] == '\r' && text[pos + 2] == '\n') return 3;
  return 0;
}

// The position of the logical byte at or after `pos`.
std::size_t skip_splices(std::string_view text, std::size_t pos) {
  while (std::size_t length = splice_at(text, pos)) pos += length;
  return pos;
}

// Whether a backslash at the end of the text may still become a splice.
bool may_be_splice(std::string_view text, std::size_t pos) {
  return pos + 1 == text.size() || (pos + 2 == text.size() && text[pos + 1] == '\r');
}

}  // namespace

LineEnd logical_line_end(std::string_view text, std::size_t pos) {
  const std::size_t size = text.size();
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (;;) {
    pos = find_stop(bytes, pos, size);
    if (pos >= size) break;
    const char c = text[pos];
    if (c == '\n') return {pos + 1, true};
    if (c == '\\') {
      if (std::size_t length = splice_at(text, pos)) {
        pos += length;
      } else if (may_be_splice(text, pos)) {
        return {size, false};
      } else {
        ++pos;
      }
      continue;
    }
    if (c == '/') {
      const std::size_t next = skip_splices(text, pos + 1);
      if (next < size && text[next] == '*') {
        // A block comment, up to the "*/" that closes it.
        for (pos = next + 1;;) {
          const void* star = std::memchr(text.data() + pos, '*', size - pos);
          if (star == nullptr) return {size, false};
          pos = static_cast<const char*>(star) - text.data() + 1;
          const std::size_t after = skip_splices(text, pos);
          if (after < size && text[after] == '/') {
            pos = after + 1;
            break;
          }
          if (after == size) return {size, false};
        }
      } else if (next < size && text[next] == '/') {
        // A line comment: up to a newline that is not part of a splice.
        for (pos = next + 1;;) {
          const void* newline = std::memchr(text.data() + pos, '\n', size - pos);
          if (newline == nullptr) return {size, false};
          pos = static_cast<const char*>(newline) - text.data();
          const bool spliced = (pos >= 1 && text[pos - 1] == '\\') ||
                               (pos >= 2 && text[pos - 1] == '\r' && text[pos - 2] == '\\');
          if (!spliced) return {pos + 1, true};
          ++pos;
        }
      } else if (next == size) {
        return {size, false};
      } else {
        pos = next;
      }
      continue;
    }
    // A string literal or character constant: up to its closing quote or the
    // line end.
    for (++pos; pos < size;) {
      if (text[pos] == c) {
        ++pos;
        break;
      }
      if (text[pos] == '\n') return {pos + 1, true};
      if (text[pos] == '\\') {
        if (std::size_t length = splice_at(text, pos)) {
          pos += length;
          continue;
        }
        if (may_be_splice(text, pos)) return {size, false};
        pos = skip_splices(text, pos + 1);
        // An escaped newline ends the line all the same.
        if (pos < size && text[pos] != '\n') ++pos;
        continue;
      }
      ++pos;
    }
  }
  return {size, false};
}

std::size_t first_token(std::string_view line) {
  std::size_t pos = 0;
  for (;;) {
    pos = skip_splices(line, pos);
    if (pos >= line.size()) return line.size();
    const char c = line[pos];
    if (c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == '\n' || c == '\0') {
      ++pos;
      continue;
    }
    if (c != '/') return pos;
    const std::size_t next = skip_splices(line, pos + 1);
    if (next >= line.size()) return pos;
    if (line[next] == '/') return line.size();
    if (line[next] != '*') return pos;
    // A block comment counts as a blank.
    for (pos = next + 1;; ++pos) {
      const void* star = std::memchr(line.data() + pos, '*', line.size() - pos);
      if (star == nullptr) return line.size();
      pos = static_cast<const char*>(star) - line.data();
      const std::size_t after = skip_splices(line, pos + 1);
      if (after < line.size() && line[after] == '/') {
        pos = after;
        break;
      }
    }
    ++pos;
  }
}

bool is_directive_line(std::string_view line) {
  const std::size_t pos = first_token(line);
  if (pos >= line.size()) return false;
  if (line[pos] == '#') return true;
  if (line[pos] != '%') return false;
  const std::size_t next = skip_splices(line, pos + 1);
  return next < line.size() && line[next] == ':';
}

}  // namespace sornik::cmode
