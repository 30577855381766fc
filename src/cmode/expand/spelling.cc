// Spellings the rescanner makes: stringified arguments, pasted tokens and _Pragma operands.
#include "cmode/expand/spelling.h"

#include "cmode/expand/padding.h"
#include "cmode/lex/dialect.h"

namespace sornik::cmode {

namespace {

// A punctuator that never joins with a token on either side of it.
bool is_closed_punctuator(const ExpToken& token) {
  if (token.kind != TokenKind::punctuator || token.text.size() != 1) return false;
  switch (token.text[0]) {
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}':
    case ',':
    case ';':
    case '~':
    case '?': return true;
    default: return false;
  }
}

bool is_word(const ExpToken& token) {
  return token.kind == TokenKind::identifier || token.kind == TokenKind::pp_number;
}

}  // namespace

bool append_stringified(std::string& out, std::span<const ExpToken> argument) {
  out.push_back('"');
  bool first = true;
  BlankRule blanks;
  // The lone backslashes the argument ends with, blanks between them or not.
  std::size_t final_backslashes = 0;
  for (const ExpToken& token : argument) {
    if (token.placemarker) continue;
    if (token.mark != Mark::none) {
      blanks.pass(token);
      continue;
    }
    if (blanks.blank_before(token) && !first) out.push_back(' ');
    first = false;
    const bool backslash = token.kind == TokenKind::other && !token.text.empty() && token.text[0] == '\\';
    final_backslashes = backslash ? final_backslashes + 1 : 0;
    const bool literal = token.kind == TokenKind::string_literal || token.kind == TokenKind::char_constant;
    for (char c : token.text) {
      if (literal && (c == '"' || c == '\\')) out.push_back('\\');
      // Only a raw string holds a newline; the compiler writes it as an escape.
      if (literal && c == '\n') {
        out.append("\\n");
        continue;
      }
      out.push_back(c);
    }
  }
  // An odd one would escape the closing quote: the compiler drops it.
  const bool invalid = final_backslashes % 2 == 1;
  if (invalid) out.pop_back();
  out.push_back('"');
  return invalid;
}

bool Respeller::single_token(std::string_view text, TokenKind& kind) {
  // A comment the text opens (outside a literal) leaves no token, or one
  // that ends before the text does.
  suffix_ = {};
  lexer_.lex(text, tokens_);
  if (tokens_.empty() || tokens_[0].begin != 0 || tokens_.back().end != text.size()) return false;
  kind = tokens_[0].kind;
  if (tokens_.size() == 1) return true;
  // The lexer takes only `_x` suffixes as part of a literal, as a name
  // touching one may be a macro; the caller knows which names are.
  const bool literal = kind == TokenKind::string_literal || kind == TokenKind::char_constant;
  if (!lexing_dialect().user_literals || !literal || tokens_.size() != 2 ||
      tokens_[1].kind != TokenKind::identifier || tokens_[1].begin != tokens_[0].end)
    return false;
  suffix_ = text.substr(tokens_[1].begin);
  return true;
}

bool Respeller::would_merge(const ExpToken& left, const ExpToken& right) {
  if (left.text.empty() || right.text.empty()) return false;
  if (is_word(left) && is_word(right)) return true;
  if (is_closed_punctuator(left) || is_closed_punctuator(right)) return false;
  if (left.kind == TokenKind::identifier && right.kind == TokenKind::punctuator) return false;
  if (left.kind != TokenKind::comment && left.text.back() == '/' &&
      (right.text[0] == '/' || right.text[0] == '*'))
    return true;
  // A comment kept as a token ends where it ends, whatever touches it.
  if (left.kind == TokenKind::comment || right.kind == TokenKind::comment) return false;
  joined_.assign(left.text);
  joined_.append(right.text);
  lexer_.lex(joined_, tokens_);
  return tokens_.size() != 2 || tokens_[0].end != left.text.size();
}

std::string destringized(std::string_view literal) {
  const std::size_t open = literal.find('"');
  std::string text;
  if (open == std::string_view::npos || literal.size() < open + 2) return text;
  const std::string_view inner = literal.substr(open + 1, literal.size() - open - 2);
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] == '\\' && i + 1 < inner.size() && (inner[i + 1] == '"' || inner[i + 1] == '\\')) ++i;
    text.push_back(inner[i]);
  }
  return text;
}

}  // namespace sornik::cmode
