// The spellings of `#`, `##` and _Pragma.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cmode/expand/expansion_token.h"
#include "cmode/lex/token.h"

namespace sornik::cmode {

// Appends the string literal that `#` makes of an argument: its tokens'
// spellings, one blank where the compiler's rule (BlankRule) puts one
// between two of them, with `"` and `\` escaped inside string and character
// literals. Placemarkers count for nothing. An odd number of lone backslashes at the
// end would escape the closing quote: the last is left out, and the result
// is true (the compiler warns "invalid string literal").
bool append_stringified(std::string& out, std::span<const ExpToken> argument);

// Reads the spelling of one token from the text of a paste or a _Pragma
// string, through a lexer of its own.
class Respeller {
 public:
  // Whether `text` is exactly one token, as a paste reads it; its kind
  // then goes to `kind`. In C++11 on a literal and a name make one literal
  // with that name as its suffix, unless the name is a macro (see suffix()).
  bool single_token(std::string_view text, TokenKind& kind);

  // The name that the last single_token took as a literal's suffix; empty
  // when it took none.
  std::string_view suffix() const { return suffix_; }

  // Whether `left` written right before `right`, with nothing between, would
  // be read back as other tokens (a blank must keep them apart).
  bool would_merge(const ExpToken& left, const ExpToken& right);

 private:
  Lexer lexer_;
  std::vector<Token> tokens_;
  std::string joined_;
  std::string_view suffix_;
};

// The text a `_Pragma` operand stands for: the literal's prefix and quotes
// dropped, `\"` and `\\` turned into `"` and `\`.
std::string destringized(std::string_view literal);

}  // namespace sornik::cmode
