// Cutting source chunks into lines, with the quick scan for lines that may hold a use.
#include "cmode/listing/line_feeder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "cmode/lex/byte_classes.h"
#include "cmode/lex/dialect.h"
#include "cmode/lex/logical_lines.h"
#include "cmode/lex/universal_names.h"

namespace sornik::cmode {

namespace {

FeedClass scan_class(char c) { return byte_row(c).feed; }

bool continues_word(char c) {
  const FeedClass cls = scan_class(c);
  return cls == FeedClass::identifier || cls == FeedClass::digit;
}

}  // namespace

bool LineFeeder::next(SourceChunk& piece, bool& may_use) {
  if (have_chunk_ && pos_ == chunk_.bytes.size()) have_chunk_ = false;
  if (!have_chunk_) {
    if (!source_.next(chunk_)) return false;
    have_chunk_ = true;
    pos_ = 0;
    line_ = chunk_.first_line;
    trigraph_lines_.restart();
    if (!chunk_.is_text) {
      piece = chunk_;
      pos_ = chunk_.bytes.size();
      may_use = false;
      return true;
    }
  }
  const std::size_t begin = pos_;
  const std::uint32_t first_line = line_;
  may_use = false;
  if (chunk_.trigraphs) {
    // Rare: the lexer reads such lines, in their converted text.
    const LogicalLine line = trigraph_lines_.scan(chunk_.bytes, pos_);
    pos_ = line.end;
    line_ += line.newlines;
    may_use = true;
  } else {
    pos_ = scan_line(may_use);
  }
  piece.bytes = chunk_.bytes.substr(begin, pos_ - begin);
  // A `$` that may take the unit's warning is the lexer's to read.
  if (dollar_warning_due() && std::memchr(piece.bytes.data(), '$', piece.bytes.size()) != nullptr)
      [[unlikely]]
    may_use = true;
  piece.is_text = true;
  piece.first_line = first_line;
  piece.trigraphs = chunk_.trigraphs;
  return true;
}

std::size_t LineFeeder::skip_literal(std::size_t pos, bool& may_use) {
  const std::string_view text = chunk_.bytes;
  const std::size_t end = quoted_literal_end(text, pos, line_);
  if (end < text.size() && text[end] == text[pos]) return end + 1;
  // An unterminated literal: the lexer decides what it is.
  may_use = true;
  return end;
}

std::size_t LineFeeder::scan_line(bool& may_use) {
  const std::string_view text = chunk_.bytes;
  const std::size_t size = text.size();
  std::size_t pos = pos_;
  while (pos < size) {
    const char c = text[pos];
    switch (scan_class(c)) {
      case FeedClass::newline: ++line_; return pos + 1;
      case FeedClass::identifier: {
        const std::size_t begin = pos;
        while (pos < size && continues_word(text[pos])) ++pos;
        const std::string_view word = text.substr(begin, pos - begin);
        // The word may go on (UTF-8 or a splice), may open a raw string, or is a macro.
        const bool goes_on = pos < size && (scan_class(text[pos]) == FeedClass::high || text[pos] == '\\');
        const bool raw_string = pos < size && scan_class(text[pos]) == FeedClass::quote && word.back() == 'R';
        if (goes_on || raw_string || table_.holds(word)) {
          may_use = true;
        }
        if (raw_string && lexing_dialect().raw_strings && raw_string_prefix_before(text, pos)) {
          // The line goes on to the end of the literal, across its newlines.
          const std::size_t end = raw_string_end(text, pos);
          const std::size_t stop = end == std::string_view::npos ? size : end;
          line_ += static_cast<std::uint32_t>(std::count(text.begin() + pos, text.begin() + stop, '\n'));
          pos = stop;
        }
        break;
      }
      case FeedClass::dot:
        if (pos + 1 >= size || scan_class(text[pos + 1]) != FeedClass::digit) {
          ++pos;
          break;
        }
        [[fallthrough]];
      case FeedClass::digit:
        // A number with whatever letters, dots and exponent signs it holds.
        for (++pos; pos < size; ++pos) {
          const char d = text[pos];
          if (continues_word(d) || d == '.') continue;
          // A digit separator (C++14, C2X), which a digit or letter follows.
          if (d == '\'' && lexing_dialect().digit_separators && pos + 1 < size &&
              continues_word(text[pos + 1])) {
            ++pos;
            continue;
          }
          if ((d == '+' || d == '-') && (text[pos - 1] | 0x20) == 'e') continue;
          if ((d == '+' || d == '-') && (text[pos - 1] | 0x20) == 'p') continue;
          // A byte that may continue the number (a digit separator too) is the lexer's to read.
          if (scan_class(d) == FeedClass::high || d == '\\' || d == '\'') may_use = true;
          break;
        }
        break;
      case FeedClass::quote: pos = skip_literal(pos, may_use); break;
      case FeedClass::slash:
        if (pos + 1 < size && text[pos + 1] == '*') {
          const std::size_t end = block_comment_end(text, pos + 2);
          const std::size_t stop = end == std::string_view::npos ? size : end;
          if (std::memchr(text.data() + pos, '\\', stop - pos) != nullptr) may_use = true;
          line_ += static_cast<std::uint32_t>(std::count(text.begin() + pos, text.begin() + stop, '\n'));
          pos = stop;
        } else if (pos + 1 < size && text[pos + 1] == '/' && opens_line_comment(text, pos + 1, false)) {
          pos = line_comment_end(text, pos + 2, line_);
        } else {
          ++pos;
        }
        break;
      case FeedClass::backslash:
        may_use = true;
        if (pos + 1 < size && text[pos + 1] == '\n') {
          ++line_;
          ++pos;
        } else if (pos + 2 < size && text[pos + 1] == '\r' && text[pos + 2] == '\n') {
          ++line_;
          pos += 2;
        }
        ++pos;
        break;
      case FeedClass::high:
        may_use = true;  // a UTF-8 letter may begin an identifier
        ++pos;
        break;
      default: ++pos; break;
    }
  }
  return size;
}

}  // namespace sornik::cmode
