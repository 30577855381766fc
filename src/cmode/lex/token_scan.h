// The token scanner shared by the lexer and the macro store: one token at a time.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "cmode/lex/byte_classes.h"
#include "cmode/lex/dialect.h"
#include "cmode/lex/identifier_characters.h"
#include "cmode/lex/logical_lines.h"
#include "cmode/lex/token.h"
#include "cmode/lex/universal_names.h"

namespace sornik::cmode {

// Whether a splice (backslash-newline, the newline maybe after a CR) stands
// anywhere in the text; texts without one take the faster paths.
bool has_splice(std::string_view text);

// How a scan reads its text.
enum class ScanMode : std::uint8_t {
  spliced,  // splices may stand anywhere: every read first steps over them
  plain,    // no splice
  // No splice, and the text ends with a newline. That newline ends every
  // token, so only the step over blanks and comments looks for the end of
  // the text and every other read goes without a bounds check.
  line,
};

// A token that a scan found: its physical bytes [begin, end) in the text.
struct ScannedToken {
  std::size_t begin = 0;
  std::size_t end = 0;
  TokenKind kind = TokenKind::other;
  bool space_before = false;
};

// Reads the tokens of a text one after another.
template <ScanMode kMode>
class TokenScan {
 public:
  // Comments are tokens of their own when `keep_comments` holds, else white space.
  explicit TokenScan(std::string_view text, bool keep_comments = false)
      : text_(text), keep_comments_(keep_comments) {}

  // Finds the next token; false at the end of the text.
  [[gnu::always_inline]] bool next(ScannedToken& token) {
    constexpr bool kLine = kMode == ScanMode::line;
    const std::string_view text = text_;
    std::size_t pos = pos_;
    bool space = false;
    for (;;) {
      pos = at(text, pos);
      if (!kLine && pos >= text.size()) break;
      const int c = byte(text, pos);
      const ByteStart start = kByteRows[static_cast<unsigned>(c)].start;
      if (start == ByteStart::blank) {
        // A run of blanks; without splices, in one step.
        space = true;
        ++pos;
        if constexpr (kMode != ScanMode::spliced) {
          while (pos < text.size() &&
                 kByteRows[static_cast<unsigned char>(text[pos])].start == ByteStart::blank)
            ++pos;
        }
        if (kLine && pos == text.size()) break;
        continue;
      }
      if (start == ByteStart::slash) {
        const std::size_t end = comment_end(text, pos);
        if (end != pos) {
          if (keep_comments_) {
            token.space_before = space;
            token.begin = pos;
            token.kind = TokenKind::comment;
            // A block comment the text ends in leaves its line's newline,
            // which ends the scan of a line.
            pos_ = token.end = kLine && end == text.size() ? end - 1 : end;
            return true;
          }
          space = true;
          pos = end;
          if (kLine && pos == text.size()) break;
          continue;
        }
      }
      token.space_before = space;
      token.begin = pos;
      pos_ = token.end = token_end(text, pos, c, start, token.kind);
      return true;
    }
    pos_ = pos;
    return false;
  }

  // Where the next token or blank begins.
  std::size_t position() const { return pos_; }

 private:
  // The position of the logical byte at or after `pos`.
  static std::size_t at(std::string_view text, std::size_t pos) {
    if constexpr (kMode == ScanMode::spliced) {
      while (const std::size_t splice = splice_length(text, pos)) pos += splice;
    }
    return pos;
  }

  // The byte at `pos` (a position returned by at(text, )), or -1 at the end.
  static int byte(std::string_view text, std::size_t pos) {
    if constexpr (kMode == ScanMode::line) return static_cast<unsigned char>(text[pos]);
    return pos < text.size() ? static_cast<unsigned char>(text[pos]) : -1;
  }

  static std::uint8_t byte_class(int c) {
    if constexpr (kMode == ScanMode::line) return kByteRows[static_cast<unsigned>(c)].token;
    return c < 0 ? 0 : kByteRows[static_cast<unsigned>(c)].token;
  }

  // The logical byte after the one at `pos`, and its position in `next`.
  static int after(std::string_view text, std::size_t pos, std::size_t& next) {
    next = at(text, pos + 1);
    return byte(text, next);
  }

  // The end of a comment at `pos` (whose byte is '/'); `pos` itself when
  // none begins there.
  static std::size_t comment_end(std::string_view text, std::size_t pos) {
    std::size_t next;
    const int c2 = after(text, pos, next);
    if (c2 == '*') return skip_block_comment(text, next + 1);
    if (c2 == '/' && (lexing_dialect().line_comments || c90_line_comment_at(text, next)))
      return skip_line_comment(text, next + 1);
    return pos;
  }

  // Whether the `//` whose second `/` is at `second` begins a comment in
  // ISO C90, which has none (see slashes_divide).
  [[gnu::cold]] static bool c90_line_comment_at(std::string_view text, std::size_t second) {
    std::size_t third;
    return !slashes_divide && after(text, second, third) != '*';
  }

  // The end of the token that starts at `pos` with byte `c`, and its kind.
  [[gnu::always_inline]] static std::size_t token_end(std::string_view text, std::size_t pos, int c,
                                                      ByteStart start, TokenKind& kind) {
    switch (start) {
      case ByteStart::identifier: kind = TokenKind::identifier; return identifier_end(text, pos + 1);
      case ByteStart::digit: kind = TokenKind::pp_number; return number_end(text, pos);
      case ByteStart::punctuator:
      case ByteStart::slash: kind = TokenKind::punctuator; return punctuator_end(text, pos, c);
      default: return rare_token_end(text, pos, c, start, kind);
    }
  }

  // token_end for the kinds of start that few tokens have.
  static std::size_t rare_token_end(std::string_view text, std::size_t pos, int c, ByteStart start,
                                    TokenKind& kind) {
    switch (start) {
      case ByteStart::prefix: return identifier_or_literal(text, pos, c, kind);
      case ByteStart::quote: return quoted_end(text, pos, c, kind);
      case ByteStart::dot: {
        std::size_t next;
        if (byte_class(after(text, pos, next)) & kDigit) {
          kind = TokenKind::pp_number;
          return number_end(text, pos);
        }
        kind = TokenKind::punctuator;
        return punctuator_end(text, pos, c);
      }
      case ByteStart::high_byte: {
        char32_t code = 0;
        const std::size_t end = utf8_end(text, pos, code);
        if (end == pos) break;
        if (!joins_identifier(code)) {
          kind = TokenKind::other;
          return end;
        }
        note_extended_character();
        kind = TokenKind::identifier;
        return identifier_end(text, end);
      }
      default:
        if (c == '\\' && lexing_dialect().extended_identifiers) {
          const std::size_t end = universal_name_end(text, pos);
          if (end != pos) {
            kind = TokenKind::identifier;
            return identifier_end(text, end);
          }
        }
        break;
    }
    kind = TokenKind::other;
    return pos + 1;
  }

  static std::size_t skip_block_comment(std::string_view text, std::size_t pos) {
    return std::min(block_comment_end(text, pos), text.size());
  }

  // Whether the line (or the text) ends at `pos`: a newline, a CR before
  // one, or the end.
  static bool line_end(std::string_view text, std::size_t pos) {
    const int c = byte(text, pos);
    return c < 0 || c == '\n' || (c == '\r' && byte(text, pos + 1) == '\n');
  }

  static std::size_t skip_line_comment(std::string_view text, std::size_t pos) {
    for (;;) {
      pos = at(text, pos);
      if (line_end(text, pos)) return pos;
      ++pos;
    }
  }

  // The end of a UTF-8 sequence at `pos`, and its character in `code`
  // (kNoCharacter when the sequence is longer than it needs or encodes a
  // surrogate); `pos` itself when there is none.
  static std::size_t utf8_end(std::string_view text, std::size_t pos, char32_t& code) {
    const int lead = byte(text, pos);
    const std::size_t length = utf8_length(static_cast<unsigned char>(lead));
    code = static_cast<char32_t>(lead & (0x7f >> length));
    std::size_t end = pos + 1;
    for (std::size_t i = 1; i < length; ++i) {
      end = at(text, end);
      const int c = byte(text, end);
      if (c < 0x80 || c > 0xbf) return pos;
      code = (code << 6) | static_cast<char32_t>(c & 0x3f);
      ++end;
    }
    if (length == 0) return pos;
    if (!utf8_well_formed(code, length)) code = kNoCharacter;
    return end;
  }

  static constexpr char32_t kNoCharacter = 0xFFFFFFFF;

  // Whether a character read in UTF-8 belongs to an identifier: in C only
  // one its table allows (any other is a token of its own); in C++ every
  // one, the compiler reporting those its table does not allow.
  static bool joins_identifier(char32_t code) {
    const Dialect& dialect = lexing_dialect();
    if (!dialect.extended_identifiers || code == kNoCharacter) return false;
    return dialect.cplusplus || allowed_in_identifier(code, identifier_table());
  }

  // The end of a universal character name (\uXXXX or \UXXXXXXXX, any
  // character: the compiler reads an invalid one into the identifier and
  // reports it) whose backslash is at `pos`; `pos` itself when none is there.
  [[gnu::noinline, gnu::cold]] static std::size_t universal_name_end(std::string_view text, std::size_t pos) {
    std::size_t next;
    const int letter = after(text, pos, next);
    if (letter != 'u' && letter != 'U') return pos;
    for (int digits = letter == 'u' ? 4 : 8; digits > 0; --digits) {
      const int c = after(text, next, next);
      const bool hex = (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
      if (!hex) return pos;
    }
    note_universal_name();
    return next + 1;
  }

  // The end of the character beyond ASCII at `pos` (its first byte 0x80 and
  // above, or a backslash) when an identifier or a number goes on with it;
  // `pos` itself when it does not.
  [[gnu::noinline]] static std::size_t extended_character_end(std::string_view text, std::size_t pos) {
    if (!lexing_dialect().extended_identifiers) return pos;
    if (byte(text, pos) == '\\') return universal_name_end(text, pos);
    char32_t code = 0;
    const std::size_t end = utf8_end(text, pos, code);
    if (end == pos || !joins_identifier(code)) return pos;
    note_extended_character();
    return end;
  }

  [[gnu::always_inline]] static std::size_t identifier_end(std::string_view text, std::size_t pos) {
    for (;;) {
      pos = at(text, pos);
      const std::uint8_t cls = byte_class(byte(text, pos));
      if (cls & (kIdStart | kDigit)) {
        ++pos;
      } else if (cls & (kHighByte | kBackslash)) {
        const std::size_t end = extended_character_end(text, pos);
        if (end == pos) return pos;
        pos = end;
      } else {
        return pos;
      }
    }
  }

  // An identifier, or a literal when the identifier is an encoding prefix
  // (L, u, U, u8 before a string; L, u, U before a character constant, and
  // u8 where the dialect has u8 character constants) or,
  // where the dialect reads raw strings, the prefix of one (R, LR, uR, UR,
  // u8R).
  static std::size_t identifier_or_literal(std::string_view text, std::size_t pos, int c, TokenKind& kind) {
    kind = TokenKind::identifier;
    std::size_t next;
    int c2 = after(text, pos, next);
    if (c == 'R') return c2 == '"' ? raw_string(text, pos, next, kind) : identifier_end(text, pos + 1);
    if (c == 'u' && c2 == '8') {
      c2 = after(text, next, next);
      if (c2 == '\'' && !lexing_dialect().utf8_chars) return identifier_end(text, pos + 1);
    }
    if (c2 == '"' || c2 == '\'') return quoted_end(text, next, c2, kind);
    std::size_t quote;
    if (c2 == 'R' && after(text, next, quote) == '"') return raw_string(text, pos, quote, kind);
    return identifier_end(text, pos + 1);
  }

  // A raw string literal whose prefix begins at `pos` and whose opening quote
  // is at `quote`, where the dialect reads them (else the prefix is an
  // identifier). One without a valid delimiter runs to the next quote, one
  // that the text ends before closing to the end: each is an `other` token.
  static std::size_t raw_string(std::string_view text, std::size_t pos, std::size_t quote, TokenKind& kind) {
    if (!lexing_dialect().raw_strings) return identifier_end(text, pos + 1);
    const std::size_t end = raw_string_end(text, quote);
    kind = TokenKind::other;
    if (end == std::string_view::npos) {
      // A line's text ends with its newline, which ends every token.
      return kMode == ScanMode::line ? text.size() - 1 : text.size();
    }
    if (!raw_delimiter_valid(text, quote)) return end;
    kind = TokenKind::string_literal;
    return literal_suffix_end(text, end);
  }

  [[gnu::always_inline]] static std::size_t number_end(std::string_view text, std::size_t pos) {
    int previous = byte(text, pos);
    ++pos;
    for (;;) {
      pos = at(text, pos);
      const int c = byte(text, pos);
      const std::uint8_t cls = byte_class(c);
      if ((cls & (kIdStart | kDigit)) || c == '.' ||
          ((c == '+' || c == '-') &&
           (previous == 'e' || previous == 'E' || previous == 'p' || previous == 'P'))) {
        previous = c;
        ++pos;
      } else if (cls & (kHighByte | kBackslash)) {
        const std::size_t end = extended_character_end(text, pos);
        if (end == pos) return pos;
        previous = 0;
        pos = end;
      } else if (c == '\'' && lexing_dialect().digit_separators) {
        // A digit separator, when a digit or letter follows it.
        std::size_t next;
        if (!(byte_class(after(text, pos, next)) & (kIdStart | kDigit))) return pos;
        previous = c;
        pos = next;
      } else {
        return pos;
      }
    }
  }

  // A string literal or character constant whose quote is at `pos`. One that
  // the line ends before closing runs to the line end and is an `other` token.
  static std::size_t quoted_end(std::string_view text, std::size_t pos, int quote, TokenKind& kind) {
    std::uint32_t spliced = 0;  // a token's splices stay in its bytes
    const std::size_t end = quoted_literal_end(text, pos, spliced);
    if (end < text.size() && text[end] == quote) {
      kind = quote == '"' ? TokenKind::string_literal : TokenKind::char_constant;
      return literal_suffix_end(text, end + 1);
    }
    kind = TokenKind::other;
    return end;
  }

  // Where a literal that ends at `pos` ends with its suffix: in C++11 on, a
  // name that begins with `_` and then another byte than `_` ("a"_s). A
  // suffix of another form is read as a name of its own, as the compiler
  // reads it when it is a macro (`"%"PRId64`): where it is none, the two
  // read alike.
  static std::size_t literal_suffix_end(std::string_view text, std::size_t pos) {
    if (!lexing_dialect().user_literals || byte(text, pos) != '_') return pos;
    std::size_t next;
    if (after(text, pos, next) == '_') return pos;
    return identifier_end(text, pos + 1);
  }

  // The longest punctuator at `pos`, digraphs included.
  [[gnu::always_inline]] static std::size_t punctuator_end(std::string_view text, std::size_t pos, int c) {
    std::size_t p2;
    const int c2 = after(text, pos, p2);
    std::size_t p3;
    switch (c) {
      case '-':
        if (c2 == '>' && lexing_dialect().cplusplus_tokens && after(text, p2, p3) == '*') return p3 + 1;
        if (c2 == '>' || c2 == '-' || c2 == '=') return p2 + 1;
        break;
      case '+':
      case '&':
      case '|':
        if (c2 == c || c2 == '=') return p2 + 1;
        break;
      case '<':
      case '>':
        if (c2 == c) return after(text, p2, p3) == '=' ? p3 + 1 : p2 + 1;
        if (c2 == '=') {
          if (c == '<' && lexing_dialect().spaceship && after(text, p2, p3) == '>') return p3 + 1;
          return p2 + 1;
        }
        if (c == '<' && c2 == ':' && lexing_dialect().cplusplus_tokens && after(text, p2, p3) == ':') {
          // `<::` is `<` and `::` unless a `:` or `>` follows.
          std::size_t p4;
          const int c4 = after(text, p3, p4);
          if (c4 != ':' && c4 != '>') return pos + 1;
        }
        if (c == '<' && (c2 == ':' || c2 == '%') && lexing_dialect().digraphs) return p2 + 1;
        break;
      case '#':
        if (c2 == '#') return p2 + 1;
        break;
      case '%':
        if (c2 == '=') return p2 + 1;
        if (!lexing_dialect().digraphs) break;
        if (c2 == '>') return p2 + 1;
        if (c2 == ':') {
          std::size_t p4;
          if (after(text, p2, p3) == '%' && after(text, p3, p4) == ':') return p4 + 1;
          return p2 + 1;
        }
        break;
      case ':':
        if ((c2 == '>' && lexing_dialect().digraphs) || (c2 == ':' && lexing_dialect().scope)) return p2 + 1;
        break;
      case '.':
        if (c2 == '.' && after(text, p2, p3) == '.') return p3 + 1;
        if (c2 == '*' && lexing_dialect().cplusplus_tokens) return p2 + 1;
        break;
      case '*':
      case '/':
      case '=':
      case '!':
      case '^':
        if (c2 == '=') return p2 + 1;
        break;
      default: break;
    }
    return pos + 1;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  bool keep_comments_;
};

}  // namespace sornik::cmode
