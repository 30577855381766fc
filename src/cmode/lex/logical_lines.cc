// Finding logical lines and their kind, and reading plainly written directive lines without the
// lexer.
#include "cmode/lex/logical_lines.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "cmode/lex/byte_classes.h"
#include "cmode/lex/dialect.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sornik::cmode {

namespace {

bool is_stop(unsigned char c) { return (kByteRows[c].plain & kLineStop) != 0; }
bool is_word_byte(char c) { return (byte_row(c).plain & kWordByte) != 0; }

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
  while (pos < size && !is_stop(bytes[pos])) ++pos;
  return pos;
}

// The position of the logical byte at or after `pos`; counts the splices
// passed in `newlines`.
std::size_t skip_splices(std::string_view text, std::size_t pos, std::uint32_t& newlines) {
  while (std::size_t length = splice_length(text, pos)) {
    pos += length;
    ++newlines;
  }
  return pos;
}

}  // namespace

std::size_t spaced_splice_length(std::string_view text, std::size_t pos) {
  std::size_t end = pos + 1;
  while (end < text.size() && is_splice_blank(text[end])) ++end;
  if (end < text.size() && text[end] == '\r') ++end;
  return end < text.size() && text[end] == '\n' ? end + 1 - pos : 0;
}

bool ends_spaced_splice(std::string_view text, std::size_t newline) {
  std::size_t pos = newline;
  if (text[pos - 1] == '\r') --pos;
  while (pos > 0 && is_splice_blank(text[pos - 1])) --pos;
  return pos > 0 && text[pos - 1] == '\\';
}

namespace {

// Whether a backslash near the end of the text may still become a splice:
// only white space or a CR follows it.
bool may_be_splice(std::string_view text, std::size_t pos) {
  for (++pos; pos < text.size(); ++pos) {
    if (!is_splice_blank(text[pos]) && !(text[pos] == '\r' && pos + 1 == text.size())) return false;
  }
  return true;
}

// The newlines in text[start, stop).
std::uint32_t count_newlines(std::string_view text, std::size_t start, std::size_t stop) {
  std::uint32_t count = 0;
  std::size_t i = start;
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  // Newlines are sparse: clearing one bit of a mask at a time is cheap.
  const auto add_bits = [&count](unsigned mask) {
    for (; mask != 0; mask &= mask - 1) ++count;
  };
  for (; i + 16 <= stop; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    add_bits(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, newline))));
  }
  if (i < stop && stop >= 16) {
    // The last bytes: the block that ends with them, less the bytes before i.
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + stop - 16));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, newline)));
    add_bits(mask >> (16 - (stop - i)));
    return count;
  }
#endif
  for (; i < stop; ++i) count += text[i] == '\n' ? 1 : 0;
  return count;
}

// Steps over the block comment whose text starts at `pos`, just after its
// "/*": returns the position after its "*/", or npos when the text ends
// first. Adds the newlines it spans to `newlines`.
std::size_t skip_block_comment(std::string_view text, std::size_t pos, std::uint32_t& newlines) {
  const std::size_t end = block_comment_end(text, pos);
  newlines += count_newlines(text, pos, end == std::string_view::npos ? text.size() : end);
  return end;
}

// Steps over the raw string whose quote is at `quote`, if one begins there,
// as raw_string_end does; adds the newlines it spans to `newlines`. Kept out
// of the line scan, which few raw strings reach.
[[gnu::noinline]] std::size_t skip_raw_string(std::string_view text, std::size_t quote,
                                              std::uint32_t& newlines) {
  if (!raw_string_prefix_before(text, quote)) return quote;
  const std::size_t end = raw_string_end(text, quote);
  const std::size_t stop = end == std::string_view::npos ? text.size() : end;
  newlines += static_cast<std::uint32_t>(std::count(text.begin() + quote, text.begin() + stop, '\n'));
  return end;
}

// The end of the logical line whose first token is at `pos`, inlined into
// scan_logical_line: most lines take a few blocks of 16 bytes, and a call
// would cost as much as one of them. A `directive` line reads `//` as ISO
// C90 reads it there.
[[gnu::always_inline]] inline LineEnd find_line_end(std::string_view text, std::size_t pos, bool directive) {
  const std::size_t size = text.size();
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::uint32_t newlines = 0;
  std::uint8_t marks = 0;
  for (;;) {
    pos = find_stop(bytes, pos, size);
    if (pos >= size) break;
    const char c = text[pos];
    if (c == '\n') return {pos + 1, true, newlines + 1, marks};
    if (c == '\\') {
      if (std::size_t length = splice_length(text, pos)) {
        if (length > 2) note_long_splice(text, pos);
        pos += length;
        ++newlines;
      } else if (may_be_splice(text, pos)) {
        return {size, false, newlines, marks};
      } else {
        ++pos;
      }
      continue;
    }
    if (c == '/') {
      const std::size_t next = skip_splices(text, pos + 1, newlines);
      if (next < size && text[next] == '*') {
        pos = skip_block_comment(text, next + 1, newlines);
        if (pos == std::string_view::npos) return {size, false, newlines, marks};
      } else if (next < size && text[next] == '/') {
        if (!lexing_dialect().line_comments) [[unlikely]] {
          marks |= LineEnd::kC90Slashes;
          if (!c90_line_comment(text, next, directive)) {
            pos = next;  // a division: the second `/` is read on
            continue;
          }
        }
        pos = line_comment_end(text, next + 1, newlines);
        if (pos == size) return {size, false, newlines, marks};
        return {pos + 1, true, newlines + 1, marks};
      } else if (next == size) {
        return {size, false, newlines, marks};
      } else {
        pos = next;
      }
      continue;
    }
    if (c == '"' && pos > 0 && text[pos - 1] == 'R' && lexing_dialect().raw_strings) {
      const std::size_t end = skip_raw_string(text, pos, newlines);
      if (end != pos) marks |= LineEnd::kRawString;
      if (end == std::string_view::npos) return {size, false, newlines, marks};
      if (end != pos) {
        pos = end;
        continue;
      }
    }
    // A string literal or character constant: up to its closing quote, or
    // up to the line end, which the next stop finds.
    pos = quoted_literal_end(text, pos, newlines);
    if (pos == size) return {size, false, newlines, static_cast<std::uint8_t>(marks | LineEnd::kOpenLiteral)};
    if (text[pos] == c) {
      ++pos;
    } else {
      marks |= LineEnd::kOpenLiteral;
    }
  }
  return {size, false, newlines, marks};
}

// The first byte at or after `pos` that is no blank or tab.
const char* skip_blanks(const char* pos, const char* end) {
  while (pos != end && (*pos == ' ' || *pos == '\t')) ++pos;
  return pos;
}

// The end of the name of ASCII letters, digits and `_` that starts at
// `pos`; `pos` itself when no name starts there.
const char* name_end(const char* pos, const char* end) {
  if (pos == end || !is_word_byte(*pos) || (*pos >= '0' && *pos <= '9')) return pos;
  while (++pos != end && is_word_byte(*pos)) {
  }
  return pos;
}

}  // namespace

bool c90_line_comment(std::string_view text, std::size_t second, bool directive) {
  std::uint32_t newlines = 0;
  const std::size_t after = skip_splices(text, second + 1, newlines);
  return !directive && !reading_group_not_taken && (after >= text.size() || text[after] != '*');
}

LineEnd logical_line_end(std::string_view text, std::size_t pos) {
  const LogicalLine line = scan_logical_line(text, pos);
  return {line.end, line.complete, line.newlines, line.marks};
}

LogicalLine scan_logical_line(std::string_view text, std::size_t pos) {
  // The white space, splices and block comments before the first token are
  // passed here; the rest of the line, from a position where no comment or
  // literal is open, by logical_line_end.
  LogicalLine line;
  std::uint32_t newlines = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == '\0') {
      ++pos;
      continue;
    }
    if (c == '\n') break;
    if (std::size_t length = splice_length(text, pos)) {
      if (length > 2) note_long_splice(text, pos);
      pos += length;
      ++newlines;
      continue;
    }
    if (c != '#' && c != '%' && c != '/') {
      line.kind = LineKind::code;
      break;
    }
    std::uint32_t spliced = 0;
    const std::size_t next = c == '#' ? pos : skip_splices(text, pos + 1, spliced);
    if (c == '#' || (c == '%' && next < text.size() && text[next] == ':' && lexing_dialect().digraphs)) {
      line.kind = LineKind::directive;
      break;
    }
    if (c != '/' || next >= text.size() || (text[next] != '/' && text[next] != '*') ||
        lexing_dialect().comments_are_tokens) {
      // Where comments are tokens, one before a `#` makes the line code.
      line.kind = LineKind::code;
      break;
    }
    if (text[next] == '/') {
      if (lexing_dialect().line_comments) break;  // a line comment: the line is blank
      // ISO C90: find_line_end reads it again.
      if (!c90_line_comment(text, next, false)) line.kind = LineKind::code;
      break;
    }
    newlines += spliced;
    pos = skip_block_comment(text, next + 1, newlines);
    if (pos == std::string_view::npos) {
      line.end = text.size();
      line.newlines = newlines;
      return line;
    }
  }
  const LineEnd rest = find_line_end(text, pos, line.kind == LineKind::directive);
  line.end = rest.end;
  line.complete = rest.complete;
  line.newlines = newlines + rest.newlines;
  line.marks = rest.marks;
  return line;
}

CommentStart next_comment(std::string_view line, std::size_t pos,
                          bool (*opens_line)(std::string_view line, std::size_t second)) {
  while (pos < line.size()) {
    const char c = line[pos];
    if (c == '"' || c == '\'') {
      // Past the closing quote, or to the line end.
      std::uint32_t spliced = 0;
      const std::size_t end = quoted_literal_end(line, pos, spliced);
      pos = end < line.size() && line[end] == c ? end + 1 : std::max(end, pos + 1);
      continue;
    }
    if (c != '/') {
      ++pos;
      continue;
    }
    std::uint32_t newlines = 0;
    const std::size_t next = skip_splices(line, pos + 1, newlines);
    if (next >= line.size()) break;
    if (line[next] == '*' || (line[next] == '/' && opens_line(line, next))) return {pos, next};
    pos = next;  // a division; a second '/' may begin a comment
  }
  return {};
}

namespace {

// Walks `line` past literals and whole block comments to its first `//`
// comment (with `star_divides`, ISO C90's rule, not a `//` that a `*`
// follows: that is a division and a block comment's start) or to a block
// comment left open, which `open_block` tells. The position of its first
// '/'; npos when the line has neither.
std::size_t first_open_comment(std::string_view line, bool star_divides, bool& open_block) {
  open_block = false;
  // With star_divides, a `//` that a `*` follows divides.
  bool (*const opens_line)(std::string_view, std::size_t) =
      star_divides ? [](std::string_view text, std::size_t second) {
        std::uint32_t newlines = 0;
        const std::size_t after = skip_splices(text, second + 1, newlines);
        return after >= text.size() || text[after] != '*';
      } : [](std::string_view, std::size_t) { return true; };
  for (std::size_t pos = 0;;) {
    const CommentStart comment = next_comment(line, pos, opens_line);
    if (comment.slash == std::string_view::npos || line[comment.second] == '/') return comment.slash;
    const std::size_t end = block_comment_end(line, comment.second + 1);
    if (end == std::string_view::npos) {
      open_block = true;
      return comment.slash;
    }
    pos = end;
  }
}

}  // namespace

bool ends_inside_block_comment(std::string_view line) {
  bool open_block = false;
  first_open_comment(line, false, open_block);
  return open_block;
}

std::size_t line_comment_start(std::string_view line, bool star_divides) {
  bool open_block = false;
  const std::size_t start = first_open_comment(line, star_divides, open_block);
  return open_block ? std::string_view::npos : start;
}

std::string_view plain_directive_name(std::string_view line) {
  const char* const end = line.data() + line.size();
  const char* const hash = skip_blanks(line.data(), end);
  if (hash == end || *hash != '#') return {};
  const char* const start = skip_blanks(hash + 1, end);
  const char* const pos = name_end(start, end);
  if (pos == start) return {};
  if (pos != end && (*pos == '\\' || *pos == '$' || static_cast<unsigned char>(*pos) >= 0x80)) return {};
  return {start, static_cast<std::size_t>(pos - start)};
}

namespace {

// Steps over white space and comments from `pos`; false at a byte that a
// lexer has to read, a backslash in a block comment among them (a splice
// may end the comment). A line comment runs to the end of the line.
bool skip_gaps(const char*& pos, const char* end) {
  while (pos != end) {
    const char c = *pos;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == '\0') {
      ++pos;
      continue;
    }
    if (c != '/' || end - pos < 2) return false;
    if (pos[1] == '/') {
      // ISO C90 reads `//` in a directive as two divisions.
      if (!lexing_dialect().line_comments) return false;
      pos = end;
      return true;
    }
    if (pos[1] != '*') return false;
    const std::string_view rest(pos, static_cast<std::size_t>(end - pos));
    const std::size_t close = block_comment_end(rest, 2);
    if (close == std::string_view::npos || std::memchr(pos, '\\', close) != nullptr) return false;
    pos += close;
  }
  return true;
}

}  // namespace

std::optional<std::string_view> plain_directive_operand(std::string_view rest) {
  const char* pos = rest.data();
  const char* const end = pos + rest.size();
  if (skip_gaps(pos, end)) return std::string_view();
  const char* const start = pos;
  pos = name_end(start, end);
  if (pos == start) return std::nullopt;
  const std::string_view word(start, static_cast<std::size_t>(pos - start));
  if (!skip_gaps(pos, end)) return std::nullopt;
  return word;
}

std::optional<std::string_view> plain_header_name(std::string_view rest) {
  const char* const end = rest.data() + rest.size();
  const char* pos = skip_blanks(rest.data(), end);
  if (pos == end || (*pos != '<' && *pos != '"')) return std::nullopt;
  const char* const start = pos;
  const char close = *pos == '<' ? '>' : '"';
  while (++pos != end && (byte_row(*pos).plain & kHeaderNameByte) != 0) {
    if (*pos == '/' && pos[-1] == '/') return std::nullopt;  // a comment
  }
  // The lexer reads `->` as one token.
  if (pos == end || *pos != close || pos - start < 2 || (close == '>' && pos[-1] == '-')) return std::nullopt;
  const std::string_view header(start, static_cast<std::size_t>(++pos - start));
  if (!skip_gaps(pos, end)) return std::nullopt;
  return header;
}

}  // namespace sornik::cmode
