// Parsing #define lines into macros.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cmode/lex/token.h"
#include "cmode/macro/macro.h"
#include "cmode/macro/macro_table.h"
#include "common/located_diagnostics.h"

namespace sornik::cmode {

// What the tokens after `#define` make.
struct DefineParse {
  // The macro, or null when the directive is in error.
  MacroPtr macro;
  // hash_name of the macro's name, when there is a macro.
  std::uint64_t name_hash = 0;
  // The C compiler's text for the error that made `macro` null.
  std::string error;
  // Where the error and the warnings point: offsets into the text parsed
  // (parse_define: the `begin` of the token they name), or kAtLineEnd.
  std::uint32_t error_at = 0;
  // Warnings about a macro that is still defined.
  std::vector<Finding> warnings;
};

// Parses the tokens that follow `#define` (the macro name first). The
// replacement text is normalised as the C compiler prints definitions (see
// Macro::body); a name written with universal character names is known by
// its UTF-8 spelling.
DefineParse parse_define(std::span<const Token> tokens);

// As parse_define, over the text that follows `#define` on a directive line
// (to its end). Most lines are read token by token as they are parsed, and
// a replacement list that is its own normalised text (no comment, literal,
// `#`, run of white space, ...) is taken as it stands; a line with a splice
// is lexed into `tokens` first. The slot of the name in
// `table`, where the macro will go, is fetched while the rest is read.
DefineParse parse_define_text(std::string_view text, Lexer& lexer, std::vector<Token>& tokens,
                              const MacroTable& table);

}  // namespace sornik::cmode
