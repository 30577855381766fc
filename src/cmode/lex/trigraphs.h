// Trigraphs (`??=` for `#`, ...): finding them, converting them for the preprocessor's readers
// while the listing keeps the bytes as written, and the ones the compiler warns of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cmode/lex/logical_lines.h"

namespace sornik::cmode {

// The byte that the trigraph `??third` stands for; 0 when `third` ends none.
inline char trigraph_meaning(char third) {
  switch (third) {
    case '=': return '#';
    case '/': return '\\';
    case '\'': return '^';
    case '(': return '[';
    case ')': return ']';
    case '!': return '|';
    case '<': return '{';
    case '>': return '}';
    case '-': return '~';
    default: return 0;
  }
}

// The third byte of the trigraph that stands for `meaning`; 0 for none.
char trigraph_third(char meaning);

// The position of the first trigraph at or after `pos`, or npos. No byte of
// a trigraph can begin another, so every `??` that one of the nine bytes
// follows is one.
std::size_t find_trigraph(std::string_view text, std::size_t pos);

// A text with its trigraphs converted, and where each one stood.
class ConvertedText {
 public:
  // Converts `physical`, whose trigraphs the text then holds as one byte each.
  void convert(std::string_view physical);
  // The same, except in the ranges `kept` ([begin, end) in order), which
  // the text holds as written.
  void convert(std::string_view physical, std::span<const std::pair<std::size_t, std::size_t>> kept);
  // Converts `physical` as the compiler reads it where the dialect reads raw
  // string literals: it undoes the conversions in one, so each stays as
  // written (its trigraphs kept, `??/` and a newline no splice, `??)` closing
  // nothing) and ends where its bytes as written end it.
  void convert_outside_raw_strings(std::string_view physical);
  // Converts the trigraphs of `physical` and adds it to the text.
  void append(std::string_view physical);
  void clear();

  std::string_view text() const { return text_; }
  // The positions in text() of the bytes that stand for trigraphs, in order.
  std::span<const std::uint32_t> trigraphs() const { return trigraphs_; }
  // The physical position, from the start of what was converted, of the
  // position `pos` of text(): of the byte there, or of a token's end.
  std::size_t physical(std::size_t pos) const;

 private:
  std::string text_;
  std::vector<std::uint32_t> trigraphs_;
};

// A trigraph that the compiler warns of: its place in the text read, and
// the byte that ends it.
struct TrigraphNote {
  std::size_t at = 0;
  char third = 0;
};

// The trigraphs of a logical line that the compiler warns of: those outside
// comments, and those in comments that make a splice (`??/` at the line's
// end), which changes what the comment holds. `line` is the text read: with
// `converted` given, the converted text of the line and the positions of its
// trigraphs; without, the line as written, whose trigraphs stay.
std::vector<TrigraphNote> trigraphs_to_warn_of(std::string_view line,
                                               std::span<const std::uint32_t> converted, bool is_converted);

// Logical lines of a text whose trigraphs count: scan_logical_line, except
// that a line that holds a trigraph has the mark LineEnd::kTrigraphs, and
// where the dialect converts trigraphs, such a line ends where its converted
// text does (`??/` before a newline splices). Lines without one cost a
// comparison more than scan_logical_line, which is all there is to do where
// trigraphs neither are converted nor warned of.
class TrigraphLineScan {
 public:
  // `warnings_shown` is false for a file whose warnings are not shown (a
  // system header's): there only converted trigraphs count.
  explicit TrigraphLineScan(bool warnings_shown);

  // The logical line at `pos` of `text`, which is the text of the calls
  // before, or more of it, until restart().
  LogicalLine scan(std::string_view text, std::size_t pos) {
    LogicalLine line = scan_logical_line(text, pos);
    if (line.end > next_trigraph_) [[unlikely]]
      rescan(text, pos, line);
    return line;
  }

  // The text changes: its bytes may have moved.
  void restart() {
    if (!active_) return;
    next_trigraph_ = 0;
    searched_ = false;
    marked_end_ = 0;
  }

  // Whether a line scanned since restart() that ends after `pos` holds a
  // trigraph: maybe one after the lines taken, never none of theirs.
  bool marked_after(std::size_t pos) const { return marked_end_ > pos; }

 private:
  // Marks `line` if it holds a trigraph, and finds it again in its
  // converted text where the dialect converts them.
  void rescan(std::string_view text, std::size_t pos, LogicalLine& line);
  LogicalLine converted_line(std::string_view text, std::size_t pos);

  bool active_ = false;
  // The first trigraph at or after the lines scanned, once searched_; npos
  // when none follows (always, when not active_).
  std::size_t next_trigraph_ = std::string_view::npos;
  bool searched_ = false;
  std::size_t marked_end_ = 0;  // the end of the last line marked
  ConvertedText converted_;
};

}  // namespace sornik::cmode
