// The token the rescanner works on, with the marks that open and close a use's group.
#pragma once

#include <cstdint>
#include <string_view>

#include "cmode/lex/token.h"

namespace sornik::cmode {

// What an expansion token stands for: a token of C text, a mark that opens
// or closes the marker group of one use (the group's number in `group`), or
// only the compiler's padding, where a group the grouping leaves out, or an
// argument, began or ended.
enum class Mark : std::uint8_t { none, open, close, padding };

// The compiler's padding that a mark stands for, which decides the blank
// before the next token (see BlankRule): where a use or an argument began
// (its name or parameter written with white space before it or not, in
// `own_space`), or where one ended. A mark moved away from that place (an
// argument list reached across it), or made in a directive, where the
// compiler places no padding, stands for none.
enum class Padding : std::uint8_t { none, start, end };

// One token on its way through expansion.
struct ExpToken {
  std::string_view text;
  // For a token of the source: its physical bytes in the source window, which
  // the name text of the outermost use covers.
  std::uint32_t source_begin = 0;
  std::uint32_t source_end = 0;
  // The line __LINE__ gives: a source token's own line; a token of a
  // replacement list the line of the use it came from.
  std::uint32_t line = 0;
  std::uint32_t group = 0;
  TokenKind kind = TokenKind::other;
  Mark mark = Mark::none;
  // Where the name text of a group puts a blank before the token (for the
  // first token of an expansion or of an argument: the blank of what it
  // stands for).
  bool space_before = false;
  // Whether white space stood before the token where it was written, in the
  // source or its definition (never before a definition's first token): the
  // compiler glues a header name of tokens by it, and the blank rule
  // (BlankRule) falls back on it. For a mark: that of the name or parameter
  // whose padding it stands for.
  bool own_space = false;
  bool from_source = false;
  // An identifier met while its macro was being expanded: never expanded again.
  bool no_expand = false;
  // A token of the text being read whose name has not been looked up yet: a
  // poisoned name (or __VA_ARGS__ out of place) is reported there, once, as
  // the compiler reports it when it lexes the name (not in a body read
  // before the poison, nor in an argument collected before a _Pragma of the
  // expansion poisoned it).
  bool fresh = false;
  // An empty argument's stand-in for ## (it pastes as nothing and is dropped).
  bool placemarker = false;
  // The text lives in storage that outlasts the next source chunk.
  bool stable = false;
  Padding padding = Padding::none;
  // kSpelledInSystemMacro and kInSystemMacro (as Token::system_macro).
  std::uint8_t system_macro = 0;

  bool is(std::string_view punctuator) const {
    return mark == Mark::none && kind == TokenKind::punctuator && text == punctuator;
  }
  bool is_identifier() const { return mark == Mark::none && kind == TokenKind::identifier; }
};

// A mark token of `kind` for group number `group`, standing for `padding`.
inline ExpToken mark_token(Mark kind, std::uint32_t group, Padding padding = Padding::none,
                           bool spaced = false) {
  ExpToken token;
  token.mark = kind;
  token.group = group;
  token.stable = true;
  token.padding = padding;
  token.own_space = spaced;
  return token;
}

}  // namespace sornik::cmode
