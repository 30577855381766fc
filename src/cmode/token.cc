#include "cmode/token.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace sornik::cmode {

namespace {

// What a byte may do in a token.
enum ByteClass : std::uint8_t {
  kSpace = 1,      // white space between tokens (NUL too: it is ignored like a blank)
  kIdStart = 2,    // begins and continues an identifier
  kDigit = 4,      // continues an identifier or a number
  kPunct = 8,      // begins a punctuator
  kHighByte = 16,  // 0x80 and above: part of an identifier when it is valid UTF-8
};

constexpr std::array<std::uint8_t, 256> make_classes() {
  std::array<std::uint8_t, 256> classes{};
  for (char c : std::string_view(" \t\f\v\r\n\0", 7)) classes[static_cast<unsigned char>(c)] = kSpace;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] = kIdStart;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] = kIdStart;
  classes['_'] = classes['$'] = kIdStart;
  for (int c = '0'; c <= '9'; ++c) classes[c] = kDigit;
  for (char c : std::string_view("[](){}.-+&*~!/%<>=^|?:;,#"))
    classes[static_cast<unsigned char>(c)] = kPunct;
  for (int c = 0x80; c <= 0xff; ++c) classes[c] = kHighByte;
  return classes;
}

constexpr std::array<std::uint8_t, 256> kClasses = make_classes();

inline std::uint8_t byte_class(int c) { return c < 0 ? 0 : kClasses[c]; }

// Whether a splice (backslash-newline, the newline maybe after a CR) stands
// anywhere in the text; texts without one take the faster path.
bool has_splice(std::string_view text) {
  const char* data = text.data();
  std::size_t pos = 0;
  while (pos < text.size()) {
    const void* hit = std::memchr(data + pos, '\\', text.size() - pos);
    if (hit == nullptr) return false;
    pos = static_cast<const char*>(hit) - data + 1;
    if (pos < text.size() &&
        (text[pos] == '\n' || (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n'))) {
      return true;
    }
  }
  return false;
}

// The lexing of one text. With kSplices, every read position first steps over
// the splices standing there.
template <bool kSplices>
class TokenScan {
 public:
  explicit TokenScan(std::string_view text) : text_(text) {}

  // The position of the logical byte at or after `pos`.
  std::size_t at(std::size_t pos) const {
    if constexpr (kSplices) {
      while (pos < text_.size() && text_[pos] == '\\') {
        if (pos + 1 < text_.size() && text_[pos + 1] == '\n') {
          pos += 2;
        } else if (pos + 2 < text_.size() && text_[pos + 1] == '\r' && text_[pos + 2] == '\n') {
          pos += 3;
        } else {
          break;
        }
      }
    }
    return pos;
  }

  // The byte at `pos` (a position returned by at()), or -1 at the end.
  int byte(std::size_t pos) const { return pos < text_.size() ? static_cast<unsigned char>(text_[pos]) : -1; }

  // The logical byte after the one at `pos`, and its position in `next`.
  int after(std::size_t pos, std::size_t& next) const {
    next = at(pos + 1);
    return byte(next);
  }

  // Steps over white space and comments from `pos`; returns the position of
  // the next token's first byte (or the end) and whether anything was skipped.
  std::size_t skip_blanks(std::size_t pos, bool& skipped) const {
    for (;;) {
      pos = at(pos);
      const int c = byte(pos);
      if (byte_class(c) & kSpace) {
        skipped = true;
        ++pos;
        continue;
      }
      if (c != '/') return pos;
      std::size_t next;
      const int c2 = after(pos, next);
      if (c2 == '*') {
        pos = skip_block_comment(next + 1);
      } else if (c2 == '/') {
        pos = skip_line_comment(next + 1);
      } else {
        return pos;
      }
      skipped = true;
    }
  }

  // The end of the token that starts at `pos` with byte `c`, and its kind.
  std::size_t token_end(std::size_t pos, int c, TokenKind& kind) const {
    const std::uint8_t cls = byte_class(c);
    if (cls & kIdStart) return identifier_or_literal(pos, c, kind);
    if (cls & kDigit) {
      kind = TokenKind::pp_number;
      return number_end(pos);
    }
    if (c == '"' || c == '\'') return quoted_end(pos, c, kind);
    if (c == '.') {
      std::size_t next;
      if (byte_class(after(pos, next)) & kDigit) {
        kind = TokenKind::pp_number;
        return number_end(pos);
      }
    }
    if (cls & kPunct) {
      kind = TokenKind::punctuator;
      return punctuator_end(pos, c);
    }
    if (cls & kHighByte) {
      const std::size_t end = utf8_end(pos);
      if (end != pos) {
        kind = TokenKind::identifier;
        return identifier_end(end);
      }
    }
    kind = TokenKind::other;
    return pos + 1;
  }

 private:
  std::size_t skip_block_comment(std::size_t pos) const {
    for (;;) {
      const void* hit = std::memchr(text_.data() + pos, '*', text_.size() - std::min(pos, text_.size()));
      if (hit == nullptr) return text_.size();
      pos = static_cast<const char*>(hit) - text_.data();
      std::size_t next;
      if (after(pos, next) == '/') return next + 1;
      pos = next;
    }
  }

  // Whether the line (or the text) ends at `pos`: a newline, a CR before
  // one, or the end.
  bool line_end(std::size_t pos) const {
    const int c = byte(pos);
    return c < 0 || c == '\n' || (c == '\r' && byte(pos + 1) == '\n');
  }

  std::size_t skip_line_comment(std::size_t pos) const {
    for (;;) {
      pos = at(pos);
      if (line_end(pos)) return pos;
      ++pos;
    }
  }

  // The end of a valid UTF-8 sequence of two to four bytes at `pos`; `pos`
  // itself when there is none.
  std::size_t utf8_end(std::size_t pos) const {
    const int lead = byte(pos);
    const int length = lead >= 0xf0 ? (lead <= 0xf4 ? 4 : 0) : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
    std::size_t end = pos + 1;
    for (int i = 1; i < length; ++i) {
      end = at(end);
      const int c = byte(end);
      if (c < 0x80 || c > 0xbf) return pos;
      ++end;
    }
    return length == 0 ? pos : end;
  }

  std::size_t identifier_end(std::size_t pos) const {
    for (;;) {
      pos = at(pos);
      const std::uint8_t cls = byte_class(byte(pos));
      if (cls & (kIdStart | kDigit)) {
        ++pos;
      } else if (cls & kHighByte) {
        const std::size_t end = utf8_end(pos);
        if (end == pos) return pos;
        pos = end;
      } else {
        return pos;
      }
    }
  }

  // An identifier, or a literal when the identifier is an encoding prefix
  // (L, u, U, u8 before a string; L, u, U before a character constant).
  std::size_t identifier_or_literal(std::size_t pos, int c, TokenKind& kind) const {
    kind = TokenKind::identifier;
    if (c == 'L' || c == 'u' || c == 'U') {
      std::size_t next;
      int c2 = after(pos, next);
      if (c == 'u' && c2 == '8') {
        const int c3 = after(next, next);
        if (c3 == '"') return quoted_end(next, c3, kind);
        return identifier_end(pos + 1);
      }
      if (c2 == '"' || c2 == '\'') return quoted_end(next, c2, kind);
    }
    return identifier_end(pos + 1);
  }

  std::size_t number_end(std::size_t pos) const {
    int previous = byte(pos);
    ++pos;
    for (;;) {
      pos = at(pos);
      const int c = byte(pos);
      const std::uint8_t cls = byte_class(c);
      if ((cls & (kIdStart | kDigit)) || c == '.' ||
          ((c == '+' || c == '-') &&
           (previous == 'e' || previous == 'E' || previous == 'p' || previous == 'P'))) {
        previous = c;
        ++pos;
      } else if (cls & kHighByte) {
        const std::size_t end = utf8_end(pos);
        if (end == pos) return pos;
        previous = 0;
        pos = end;
      } else {
        return pos;
      }
    }
  }

  // A string literal or character constant whose quote is at `pos`. One that
  // the line ends before closing runs to the line end and is an `other` token.
  std::size_t quoted_end(std::size_t pos, int quote, TokenKind& kind) const {
    ++pos;
    for (;;) {
      pos = at(pos);
      const int c = byte(pos);
      if (c == quote) {
        kind = quote == '"' ? TokenKind::string_literal : TokenKind::char_constant;
        return pos + 1;
      }
      if (line_end(pos)) {
        kind = TokenKind::other;
        return pos;
      }
      if (c == '\\') {
        const std::size_t next = at(pos + 1);
        pos = line_end(next) ? next : next + 1;
      } else {
        ++pos;
      }
    }
  }

  // The longest punctuator at `pos`, digraphs included.
  std::size_t punctuator_end(std::size_t pos, int c) const {
    std::size_t p2;
    const int c2 = after(pos, p2);
    std::size_t p3;
    switch (c) {
      case '-':
        if (c2 == '>' || c2 == '-' || c2 == '=') return p2 + 1;
        break;
      case '+':
      case '&':
      case '|':
        if (c2 == c || c2 == '=') return p2 + 1;
        break;
      case '<':
      case '>':
        if (c2 == c) return after(p2, p3) == '=' ? p3 + 1 : p2 + 1;
        if (c2 == '=') return p2 + 1;
        if (c == '<' && (c2 == ':' || c2 == '%')) return p2 + 1;
        break;
      case '#':
        if (c2 == '#') return p2 + 1;
        break;
      case '%':
        if (c2 == '=' || c2 == '>') return p2 + 1;
        if (c2 == ':') {
          std::size_t p4;
          if (after(p2, p3) == '%' && after(p3, p4) == ':') return p4 + 1;
          return p2 + 1;
        }
        break;
      case ':':
        if (c2 == '>') return p2 + 1;
        break;
      case '.':
        if (c2 == '.' && after(p2, p3) == '.') return p3 + 1;
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
};

// Appends the bytes of `physical` without its splices.
void append_without_splices(std::string& out, std::string_view physical) {
  for (std::size_t i = 0; i < physical.size(); ++i) {
    if (physical[i] == '\\') {
      if (i + 1 < physical.size() && physical[i + 1] == '\n') {
        ++i;
        continue;
      }
      if (i + 2 < physical.size() && physical[i + 1] == '\r' && physical[i + 2] == '\n') {
        i += 2;
        continue;
      }
    }
    out += physical[i];
  }
}

template <bool kSplices>
void lex_text(std::string_view text, std::vector<Token>& out, std::size_t max_tokens, std::string& spliced,
              std::vector<std::uint32_t>& spliced_tokens) {
  const TokenScan<kSplices> scan(text);
  std::size_t pos = 0;
  while (out.size() < max_tokens) {
    bool space = false;
    pos = scan.skip_blanks(pos, space);
    if (pos >= text.size()) return;
    Token token;
    token.space_before = space;
    token.begin = static_cast<std::uint32_t>(pos);
    const std::size_t end = scan.token_end(pos, scan.byte(pos), token.kind);
    token.end = static_cast<std::uint32_t>(end);
    token.text = text.substr(pos, end - pos);
    if constexpr (kSplices) {
      if (has_splice(token.text)) {
        // The spelling goes to the lexer's storage; its view is set once the
        // storage stops growing.
        const std::size_t offset = spliced.size();
        append_without_splices(spliced, token.text);
        token.text = std::string_view(nullptr, 0);
        token.begin = static_cast<std::uint32_t>(pos);
        spliced_tokens.push_back(static_cast<std::uint32_t>(out.size()));
        spliced_tokens.push_back(static_cast<std::uint32_t>(offset));
        spliced_tokens.push_back(static_cast<std::uint32_t>(spliced.size() - offset));
      }
    }
    out.push_back(token);
    pos = end;
  }
}

}  // namespace

void Lexer::lex(std::string_view text, std::vector<Token>& out, std::size_t max_tokens) {
  out.clear();
  spliced_.clear();
  spliced_tokens_.clear();
  if (!has_splice(text)) {
    lex_text<false>(text, out, max_tokens, spliced_, spliced_tokens_);
    return;
  }
  lex_text<true>(text, out, max_tokens, spliced_, spliced_tokens_);
  for (std::size_t i = 0; i < spliced_tokens_.size(); i += 3) {
    out[spliced_tokens_[i]].text =
        std::string_view(spliced_).substr(spliced_tokens_[i + 1], spliced_tokens_[i + 2]);
  }
}

}  // namespace sornik::cmode
