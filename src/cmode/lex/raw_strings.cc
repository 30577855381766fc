// Where raw string literals begin and end, and the compiler's errors for those that are not valid.
#include "cmode/lex/raw_strings.h"

#include "cmode/lex/byte_classes.h"

namespace sornik::cmode {

namespace {

constexpr std::size_t kMaxDelimiter = 16;

// Whether `c` may stand in the delimiter of a raw string: the basic
// character set's printing bytes but for ( ) \, as g++ takes them (not $,
// @ or `).
bool is_raw_delimiter_byte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte > ' ' && byte < 0x7f && c != '(' && c != ')' && c != '\\' && c != '$' && c != '@' && c != '`';
}

bool is_identifier_byte(char c) {
  const std::uint8_t cls = byte_row(c).token;
  return (cls & (kIdStart | kDigit | kHighByte)) != 0;
}

// The position after the delimiter bytes that follow the quote at `quote`,
// at most 16 of them.
std::size_t delimiter_end(std::string_view text, std::size_t quote) {
  std::size_t open = quote + 1;
  while (open < text.size() && open - quote - 1 < kMaxDelimiter && is_raw_delimiter_byte(text[open])) ++open;
  return open;
}

}  // namespace

bool raw_string_prefix_before(std::string_view text, std::size_t quote) {
  if (quote == 0 || text[quote - 1] != 'R') return false;
  std::size_t start = quote - 1;
  if (start >= 2 && text[start - 2] == 'u' && text[start - 1] == '8') {
    start -= 2;
  } else if (start >= 1 && (text[start - 1] == 'u' || text[start - 1] == 'U' || text[start - 1] == 'L')) {
    start -= 1;
  }
  return start == 0 || !is_identifier_byte(text[start - 1]);
}

bool raw_delimiter_valid(std::string_view text, std::size_t quote) {
  const std::size_t open = delimiter_end(text, quote);
  return open < text.size() && text[open] == '(';
}

std::size_t raw_string_end(std::string_view text, std::size_t quote) {
  const std::size_t open = delimiter_end(text, quote);
  if (open == text.size()) return std::string_view::npos;
  if (text[open] != '(') {
    const std::size_t next = text.find('"', open);
    return next == std::string_view::npos ? next : next + 1;
  }
  const std::string_view delimiter = text.substr(quote + 1, open - quote - 1);
  for (std::size_t pos = open + 1;;) {
    const std::size_t close = text.find(')', pos);
    if (close == std::string_view::npos) return close;
    const std::size_t after = close + 1 + delimiter.size();
    if (after >= text.size()) return std::string_view::npos;
    if (text.compare(close + 1, delimiter.size(), delimiter) == 0 && text[after] == '"') return after + 1;
    pos = close + 1;
  }
}

std::vector<RawStringProblem> raw_string_problems(std::string_view token) {
  std::vector<RawStringProblem> problems;
  const std::size_t quote = token.find('"');
  const std::size_t open = delimiter_end(token, quote);
  if (open < token.size() && token[open] != '(') {
    if (open - quote - 1 == kMaxDelimiter) {
      problems.push_back({"raw string delimiter longer than 16 characters", open});
    } else if (token[open] == '\n') {
      problems.push_back({"invalid new-line in raw string delimiter", open});
    } else {
      problems.push_back(
          {"invalid character '" + std::string(1, token[open]) + "' in raw string delimiter", open});
    }
    if (token.back() == '"' && token.size() > open + 1) return problems;
  } else if (open < token.size() && raw_string_end(token, quote) == token.size()) {
    return problems;
  }
  problems.push_back({"unterminated raw string", 0});
  return problems;
}

}  // namespace sornik::cmode
