// The tokens of a #define line as its parser reads them: from tokens a
// lexer has made, or straight from the text of a line without splices,
// where a plainly written replacement list is taken as it stands.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "cmode/lex/token.h"
#include "cmode/lex/token_scan.h"
#include "common/located_diagnostics.h"

namespace sornik::cmode::define_tokens {

inline constexpr std::string_view kVaArgs = "__VA_ARGS__";

// A token of a #define line as the parser reads it.
struct DefineToken {
  std::string_view text;
  TokenKind kind = TokenKind::other;
  bool space_before = false;
};

inline bool is(const DefineToken& token, std::string_view text) {
  return token.kind == TokenKind::punctuator && token.text == text;
}
inline bool is_paste(const DefineToken& token) { return is(token, "##") || is(token, "%:%:"); }
inline bool is_hash(const DefineToken& token) { return is(token, "#") || is(token, "%:"); }

inline bool is_variadic_name(std::string_view name) { return name == kVaArgs || name == "__VA_OPT__"; }

// Whether a token may be `#`, `##` or their digraphs, or __VA_ARGS__ or
// __VA_OPT__: only those need a closer look.
inline bool is_special(const DefineToken& token) {
  if (token.kind == TokenKind::punctuator) return token.text[0] == '#' || token.text[0] == '%';
  return token.kind == TokenKind::identifier && token.text[0] == '_' && is_variadic_name(token.text);
}

// Tokens that a lexer has made.
class LexedTokens {
 public:
  // Their texts may lie anywhere.
  static constexpr bool kOneText = false;

  explicit LexedTokens(std::span<const Token> tokens) : tokens_(tokens) {}
  bool next(DefineToken& token) {
    if (next_ == tokens_.size()) return false;
    const Token& lexed = tokens_[next_++];
    token = {lexed.text, lexed.kind, lexed.space_before};
    return true;
  }
  // Where diagnostics point (looked for only when there is one): the token
  // whose text starts at `text`, the first token, and the first token that
  // is `punctuator` (kAtLineEnd when none is); as the `begin` of the lexed
  // tokens.
  [[gnu::cold]] std::uint32_t offset(const char* text) const {
    for (const Token& lexed : tokens_) {
      if (lexed.text.data() == text) return lexed.begin;
    }
    return 0;
  }
  [[gnu::cold]] std::uint32_t start_offset() const { return tokens_.empty() ? kAtLineEnd : tokens_[0].begin; }
  [[gnu::cold]] std::uint32_t first_offset(std::string_view punctuator) const {
    for (const Token& lexed : tokens_) {
      if (lexed.is(punctuator)) return lexed.begin;
    }
    return kAtLineEnd;
  }

 private:
  std::span<const Token> tokens_;
  std::size_t next_ = 0;
};

// The tokens of a text without splices that ends with a newline, read as
// the parser asks for them.
class LineTokens {
 public:
  // Their texts lie in one text, in order.
  static constexpr bool kOneText = true;

  explicit LineTokens(std::string_view text) : text_(text), scan_(text) {}
  [[gnu::always_inline]] bool next(DefineToken& token) {
    ScannedToken scanned;
    if (!scan_.next(scanned)) return false;
    token = {{text_.data() + scanned.begin, scanned.end - scanned.begin}, scanned.kind, scanned.space_before};
    return true;
  }
  // The text after the last token read, to the line end.
  std::string_view rest() const { return text_.substr(scan_.position()); }
  // Where diagnostics point, as LexedTokens has them: offsets into the text.
  [[gnu::cold]] std::uint32_t offset(const char* text) const {
    return static_cast<std::uint32_t>(text - text_.data());
  }
  [[gnu::cold]] std::uint32_t start_offset() const {
    TokenScan<ScanMode::line> scan(text_);
    ScannedToken scanned;
    return scan.next(scanned) ? static_cast<std::uint32_t>(scanned.begin) : kAtLineEnd;
  }
  [[gnu::cold]] std::uint32_t first_offset(std::string_view punctuator) const {
    TokenScan<ScanMode::line> scan(text_);
    for (ScannedToken scanned; scan.next(scanned);) {
      if (scanned.kind == TokenKind::punctuator &&
          text_.substr(scanned.begin, scanned.end - scanned.begin) == punctuator)
        return scanned.begin;
    }
    return kAtLineEnd;
  }

 private:
  std::string_view text_;
  TokenScan<ScanMode::line> scan_;
};

// The replacement list `rest` (to its line end) without the white space at
// its ends, when that is its normalised text and the list gives no
// diagnostic: no comment, literal, splice, `#` or `%:` in it, nothing but
// single blanks between its tokens, and no name starting with __VA_.
inline std::optional<std::string_view> plain_replacement(std::string_view rest) {
  const auto blank = [&](std::size_t pos) {
    return (byte_row(rest[pos]).token & kSpace) != 0;
  };
  std::size_t begin = 0;
  std::size_t end = rest.size();
  while (begin < end && blank(begin)) ++begin;
  while (end > begin && blank(end - 1)) --end;
  for (std::size_t pos = begin; pos < end; ++pos) {
    if ((byte_row(rest[pos]).plain & kListSpecial) == 0) continue;
    // The list ends in no blank: a blank has a byte after it in the list.
    const char next = pos + 1 < end ? rest[pos + 1] : '\0';
    switch (rest[pos]) {
      case ' ':
        if (blank(pos + 1)) return std::nullopt;
        break;
      case '/':
        if (next == '/' || next == '*') return std::nullopt;
        break;
      case '%':
        if (next == ':') return std::nullopt;
        break;
      case '_':
        if (rest.substr(pos, end - pos).starts_with("__VA_")) return std::nullopt;
        break;
      default: return std::nullopt;
    }
  }
  return rest.substr(begin, end - begin);
}

}  // namespace sornik::cmode::define_tokens
