#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "cmode/macro_table.h"
#include "cmode/token.h"

namespace sornik::cmode {

// What the tokens after `#define` make.
struct DefineParse {
  // The macro, or null when the directive is in error.
  std::unique_ptr<Macro> macro;
  // The C compiler's text for the error that made `macro` null.
  std::string error;
  // Texts of warnings about a macro that is still defined.
  std::vector<std::string> warnings;
};

// Parses the tokens that follow `#define` (the macro name first). The
// replacement list keeps its tokens with the spacing normalised as the C
// compiler prints definitions: no blank at either end, one blank where the
// source had white space, " ##" for every paste and "#" glued to the
// parameter it stringifies.
DefineParse parse_define(std::span<const Token> tokens);

// Whether two definitions of a name are the same token for token, so that a
// redefinition is silent.
bool same_definition(const Macro& a, const Macro& b);

// A copy of a macro whose token texts refer to the copy's own storage.
std::unique_ptr<Macro> copy_macro(const Macro& macro);

// Appends "#define NAME(PARAMS) BODY" as the C compiler lists definitions,
// without a line end.
void append_define_line(std::string& out, const Macro& macro);

}  // namespace sornik::cmode
