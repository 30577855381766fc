// Preprocessing tokens and the lexer that makes them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/lex/trigraphs.h"

namespace sornik::cmode {

// The kinds of preprocessing tokens.
enum class TokenKind : std::uint8_t {
  identifier,
  pp_number,
  char_constant,   // with its prefix: 'a', L'a', u'a', U'a' (u8'a' is u8 and 'a', as in C17)
  string_literal,  // with its prefix: "a", u8"a", L"a", ...
  punctuator,
  // A byte that begins no other token (`@`, a byte 0x80 and above that is not
  // valid UTF-8, ...), or a literal the line ends before closing (up to the
  // line end). Valid UTF-8 sequences are identifier characters.
  other,
  // A comment, where the dialect makes comments tokens (-C); a line comment
  // is spelled as a block comment (`// c` as `/* c*/`), as the compiler
  // writes it.
  comment,
};

// Where a token of an expansion stands with respect to the macros of system
// headers (Token::system_macro): the compiler leaves out some warnings of a
// number there in #if.
inline constexpr std::uint8_t kSpelledInSystemMacro = 1;  // in the replacement list of one
inline constexpr std::uint8_t kInSystemMacro = 2;         // the innermost expansion holding it is one's

// One preprocessing token of a lexed text.
struct Token {
  // The spelling with every backslash-newline removed: a view into the lexed
  // text, or into the lexer's own storage when a splice stood inside the token.
  std::string_view text;
  // The physical bytes [begin, end) in the lexed text, splices included.
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
  TokenKind kind = TokenKind::other;
  // White space, a comment or a line end stands between this token and the
  // one before it.
  bool space_before = false;
  // kSpelledInSystemMacro and kInSystemMacro, for a token of an expansion.
  std::uint8_t system_macro = 0;

  // Whether the token is that punctuator (as spelled: `<:` is not `[`).
  bool is(std::string_view punctuator) const { return kind == TokenKind::punctuator && text == punctuator; }
};

// Appends the bytes of `physical` to `out` without its splices.
void append_without_splices(std::string& out, std::string_view physical);

// Copies the texts of `tokens` into `storage`, one after another, and points
// the tokens at their copies, which live as long as `storage` is unchanged.
void keep_texts(std::span<Token> tokens, std::string& storage);

// Splits C text into preprocessing tokens. The text is the physical bytes of
// one or more whole logical lines: it never ends inside a block comment, and
// splices (backslash-newline, also with a CR before the newline) may stand
// anywhere. White space makes no token, nor do comments unless the lexer
// is told to keep them.
class Lexer {
 public:
  // Whether comments are tokens (TokenKind::comment) from the next call on.
  void keep_comments(bool keep) { keep_comments_ = keep; }

  // Replaces `out` with the tokens of `text`, at most `max_tokens` of them.
  // Token texts stay valid until the next call and while `text` lives.
  void lex(std::string_view text, std::vector<Token>& out, std::size_t max_tokens = SIZE_MAX);

  // As lex, with the text's trigraphs converted first: token texts are
  // spelled as converted, and begin and end stay positions in `text`, a
  // token's bytes with the trigraphs as written. Raw string literals stay
  // as written (ConvertedText::convert_outside_raw_strings).
  void lex_converting(std::string_view text, std::vector<Token>& out);

 private:
  ConvertedText converted_;
  // Spellings of tokens with a splice inside and of line comments, and for
  // each such token its index, offset and length in `spliced_`.
  std::string spliced_;
  std::vector<std::uint32_t> spliced_tokens_;
  bool keep_comments_ = false;
};

}  // namespace sornik::cmode
