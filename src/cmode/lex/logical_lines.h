// Logical lines of C text: where each ends, what it holds, and plainly written directive lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "cmode/lex/dialect.h"
#include "cmode/lex/raw_strings.h"

namespace sornik::cmode {

// Where a logical line ends: lines are joined at splices, a block comment
// carries the line on across newlines, and a string literal or character
// constant ends at the latest with its line.
struct LineEnd {
  // Just after the newline that ends the line, or text.size().
  std::size_t end = 0;
  // False when the text ended inside the line: more text may complete it.
  bool complete = false;
  // The newlines within [pos, end): the physical lines the line takes.
  std::uint32_t newlines = 0;
  // What the line holds that only a rare path looks at, as LineMark bits:
  // one byte, which a line's scan sets as cheaply as one flag.
  std::uint8_t marks = 0;

  // A raw string literal, or what begins as one, stands in the line.
  bool raw_string() const { return (marks & kRawString) != 0; }
  // A string literal or character constant that the line ends before it
  // closes may stand in the line (or a digit separator, which only a lexer
  // tells from a quote).
  bool open_literal() const { return (marks & kOpenLiteral) != 0; }
  // A trigraph stands in the line (set by TrigraphLineScan only).
  bool trigraphs() const { return (marks & kTrigraphs) != 0; }
  // A `//` stands in the line, which ISO C90 may read as two divisions.
  bool c90_slashes() const { return (marks & kC90Slashes) != 0; }

  enum LineMark : std::uint8_t { kRawString = 1, kOpenLiteral = 2, kTrigraphs = 4, kC90Slashes = 8 };
};

// The length of the UTF-8 byte order mark that `text`, a file's start,
// begins with (0 or 3): the compiler reads the file from after it.
inline std::size_t byte_order_mark_length(std::string_view text) {
  return text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

// Finds the end of the logical line that starts at `pos`.
LineEnd logical_line_end(std::string_view text, std::size_t pos);

// The white space that the compiler takes between the backslash and the
// newline of a splice, with a warning.
inline bool is_splice_blank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }

// The length of the splice at the backslash at `pos` whose next byte is
// white space (rare: kept out of the readers' loops), or 0.
[[gnu::cold]] std::size_t spaced_splice_length(std::string_view text, std::size_t pos);

// Whether the newline at `newline`, after white space, ends a splice (rare).
[[gnu::cold]] bool ends_spaced_splice(std::string_view text, std::size_t newline);

// The length of the splice at `pos`: a backslash, maybe white space and a
// CR, and the newline; 0 when no splice stands there.
inline std::size_t splice_length(std::string_view text, std::size_t pos) {
  if (pos >= text.size() || text[pos] != '\\') return 0;
  if (pos + 1 < text.size() && text[pos + 1] == '\n') return 2;
  if (pos + 2 < text.size() && text[pos + 1] == '\r' && text[pos + 2] == '\n') return 3;
  // Every byte of white space lies at or below ' '.
  if (pos + 1 < text.size() && static_cast<unsigned char>(text[pos + 1]) <= ' ')
    return spaced_splice_length(text, pos);
  return 0;
}

// Set on this thread when the lines read need the rare checks of their
// bytes: a line scan sets it when it passes a splice with white space in it
// outside comments (which the compiler warns of), and a reader whose options
// ask for checks of every line keeps it set. Whoever checks clears it.
inline thread_local bool line_checks_due = false;

// Notes a splice of `length` bytes at `pos` for line_checks_due. Called for
// the splices longer than backslash-newline only, which are rare.
[[gnu::cold]] inline void note_long_splice(std::string_view text, std::size_t pos) {
  if (text[pos + 1] != '\r') line_checks_due = true;
}

// Whether the newline at `newline` ends a splice.
inline bool ends_splice(std::string_view text, std::size_t newline) {
  if (newline == 0) return false;
  const char before = text[newline - 1];
  if (before == '\\') return true;
  if (before == '\r' && newline >= 2 && text[newline - 2] == '\\') return true;
  return static_cast<unsigned char>(before) <= ' ' && ends_spaced_splice(text, newline);
}

// The end of the block comment whose text starts at `pos`, just after its
// "/*": the position after its "*/", splices allowed between the two; npos
// when the text ends first. The readers of C text step over comments by this
// and line_comment_end.
// Inline: most comments are short, and a call would cost as much as the step.
inline std::size_t block_comment_end(std::string_view text, std::size_t pos) {
  const char* const bytes = text.data();
  const std::size_t size = text.size();
  while (pos < size) {
    const void* star = std::memchr(bytes + pos, '*', size - pos);
    if (star == nullptr) break;
    pos = static_cast<std::size_t>(static_cast<const char*>(star) - bytes) + 1;
    while (const std::size_t splice = splice_length(text, pos)) pos += splice;
    if (pos < size && bytes[pos] == '/') return pos + 1;
  }
  return std::string_view::npos;
}

// The first byte at or after `pos` that is `close`, a backslash or a
// newline; `size` when there is none. A block of 16 bytes at a time where
// SSE2 is at hand: literals are mostly runs of ordinary bytes.
inline std::size_t literal_stop(const char* bytes, std::size_t pos, std::size_t size, char close) {
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8(close);
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i newline = _mm_set1_epi8('\n');
  for (; pos + 16 <= size; pos += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos));
    const __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, quote), _mm_cmpeq_epi8(block, backslash)),
                     _mm_cmpeq_epi8(block, newline));
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0) return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  while (pos < size && bytes[pos] != close && bytes[pos] != '\\' && bytes[pos] != '\n') ++pos;
  return pos;
}

// Where the string literal or character constant whose opening quote is at
// `quote` ends: at its closing quote, or, when its line ends first, at that
// line end (a newline, the CR of a CR LF, or text.size()), which the caller
// tells from a closing quote by its byte. A backslash escapes the byte after
// it; splices (backslash-newline, backslash-CR-LF, with white space) may stand anywhere, also
// between a backslash and the byte it escapes, and their newlines are added
// to `spliced`. Every reader of C text steps over such literals by this;
// raw strings are raw_string_end's. Inline, as block_comment_end.
inline std::size_t quoted_literal_end(std::string_view text, std::size_t quote, std::uint32_t& spliced) {
  const char* const bytes = text.data();
  const std::size_t size = text.size();
  const char close = bytes[quote];
  // The length of the splice at `at`, or 0; one with white space is noted.
  const auto splice = [text](std::size_t at) -> std::size_t {
    const std::size_t length = splice_length(text, at);
    if (length > 2) note_long_splice(text, at);
    return length;
  };
  std::size_t pos = quote + 1;
  for (;;) {
    pos = literal_stop(bytes, pos, size, close);
    if (pos == size || bytes[pos] == close) return pos;
    // A newline that no splice takes; a CR before it is the line end. (A
    // CR right after the opening quote is none: that byte is the quote.)
    if (bytes[pos] == '\n') return bytes[pos - 1] == '\r' ? pos - 1 : pos;
    if (const std::size_t length = splice(pos)) {
      pos += length;
      ++spliced;
      continue;
    }
    // An escape: the next byte after any splices is taken whatever it is,
    // unless it is the line end.
    ++pos;
    while (pos < size) {
      const std::size_t length = splice(pos);
      if (length == 0) break;
      pos += length;
      ++spliced;
    }
    if (pos == size) return size;
    if (bytes[pos] == '\n' || (bytes[pos] == '\r' && pos + 1 < size && bytes[pos + 1] == '\n')) return pos;
    ++pos;
  }
}

// The end of the line comment whose text starts at `pos`, just after its
// "//": the position of the newline that ends it (one that no splice makes),
// or text.size(). Adds the newlines of the splices it runs over to `spliced`.
inline std::size_t line_comment_end(std::string_view text, std::size_t pos, std::uint32_t& spliced) {
  for (;;) {
    const void* newline = std::memchr(text.data() + pos, '\n', text.size() - pos);
    if (newline == nullptr) return text.size();
    pos = static_cast<std::size_t>(static_cast<const char*>(newline) - text.data());
    if (!ends_splice(text, pos)) return pos;
    ++spliced;
    ++pos;
  }
}

// ISO C90 and C94 have no `//` comments. gcc reads one as a comment all the
// same in a code line of a group taken (with an error) where no `*` follows
// it; in a directive, in a group not taken and before a `*` it is two
// divisions, and what follows is read on (`//**/` is `/` and a comment).
// The preprocessor sets this while the lines read are those of a group not
// taken, for the line scan, which runs before a line is taken.
inline thread_local bool reading_group_not_taken = false;

// Set on this thread, for the lexer, while a line that holds a `//` (the
// scan marks it) is read where ISO C90 reads `//` as two divisions: a
// directive or a line of a group not taken.
inline thread_local bool slashes_divide = false;

// Whether the `//` whose second `/` is at `second` begins a comment, in a
// directive line or not, where the dialect has no line comments (rare).
[[gnu::cold]] bool c90_line_comment(std::string_view text, std::size_t second, bool directive);

// Whether the `//` whose second `/` is at `second` begins a comment.
inline bool opens_line_comment(std::string_view text, std::size_t second, bool directive) {
  return lexing_dialect().line_comments || c90_line_comment(text, second, directive);
}

// What a logical line holds before anything else.
enum class LineKind : std::uint8_t {
  blank,      // white space and comments only
  directive,  // its first token is `#` or `%:`
  code,       // any other first token
};

// A logical line found and told apart in one pass over its bytes.
struct LogicalLine : LineEnd {
  LineKind kind = LineKind::blank;
};

// Finds the end and the kind of the logical line that starts at `pos`.
LogicalLine scan_logical_line(std::string_view text, std::size_t pos);

// Where a comment of a logical line begins: its first '/' (npos when the
// line has no comment), and its second byte, past splices: '*' or '/'.
struct CommentStart {
  std::size_t slash = std::string_view::npos;
  std::size_t second = 0;
};

// The first comment of `line` that begins at or after `pos`, outside
// literals. A `//` begins one where `opens_line(line, second)` says so;
// otherwise it is a division, and the walk reads on from its second '/'.
CommentStart next_comment(std::string_view line, std::size_t pos,
                          bool (*opens_line)(std::string_view line, std::size_t second));

// Whether a logical line that the text ended inside (not `complete`) ends
// inside a block comment: the unterminated comment of a file's last line.
bool ends_inside_block_comment(std::string_view line);

// Where the first `//` comment of a logical line begins, outside literals
// and block comments; npos when there is none. With `star_divides` (ISO C90)
// a `//` that a `*` follows is a division and a block comment's start.
std::size_t line_comment_start(std::string_view line, bool star_divides);

// The name of a directive line written plainly: blanks, `#`, blanks and an
// identifier of ASCII letters, digits and `_` that nothing continues. Empty
// for any other form (a comment, a splice or `%:` before the name, a name
// that a splice or a byte 0x80 and above may go on), which only a lexer can
// read.
std::string_view plain_directive_name(std::string_view line);

// What follows the name of a directive, when it is at most one identifier of
// ASCII letters, digits and `_` (not starting with a digit) among blanks and
// comments: that identifier, or empty when there is none. Nothing when a
// lexer has to read the text: a backslash outside a line comment, any other
// token, an identifier that a byte such as `$` or 0x80 and above goes on.
std::optional<std::string_view> plain_directive_operand(std::string_view rest);

// What follows the name of an #include written plainly: "name" or <name>
// after blanks, the name of ASCII letters, digits and `_`, `.`, `+`, `-`,
// `/` (neither `//` nor `->` among them), and only blanks and comments after
// it: that header name with its quotes or brackets. Nothing for any other
// form, which a lexer has to read.
std::optional<std::string_view> plain_header_name(std::string_view rest);

}  // namespace sornik::cmode
