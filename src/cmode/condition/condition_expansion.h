// The quick path that expands the macros of an #if line without the rescanner.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "cmode/lex/token.h"
#include "cmode/macro/macro_table.h"

namespace sornik::cmode {

// Expands the tokens of an #if or #elif straight from the macro table, for
// the shapes that real headers use in conditions: object-like macros,
// function-like ones called with all their arguments in the same token list,
// `a ## b` forming a name, and `defined X` / `defined ( X )` written in the
// line. Anything else (stringizing, variadic macros, a name at the end of an
// expansion that might take its arguments from further on, built-in names,
// `defined` produced by an expansion, any error) is left to the rescanner, so
// that where this path answers, its tokens are exactly the rescanner's.
class ConditionExpansion {
 public:
  explicit ConditionExpansion(const MacroTable& table);
  ~ConditionExpansion();

  // Replaces `out` with the expansion of `in` and returns true, or returns
  // false when the rescanner must expand `in`. Texts in `out` stay valid
  // while the macros used and `in` stay, and until the next call.
  bool expand(std::span<const Token> in, std::vector<Token>& out);

 private:
  // The buffers of the use expanded at one depth.
  struct Call {
    std::vector<Token> replaced;
    std::vector<std::vector<Token>> arguments;  // expanded, by parameter
    std::vector<std::span<const Token>> raw;    // as written, by parameter
    std::vector<bool> expanded;                 // whether `arguments` holds the parameter's
  };

  bool expand_list(std::span<const Token> in, bool in_line, std::size_t depth, std::vector<Token>& out);
  bool expand_use(const Macro& macro, std::span<const Token> arguments, std::size_t depth,
                  std::vector<Token>& out);
  bool replace_body(const Macro& macro, std::size_t depth, Call& call);
  bool append_argument(std::size_t param, std::size_t depth, Call& call);
  bool paste(const Macro& macro, Call& call, std::size_t left, std::size_t right);
  bool disabled(const Macro* macro) const;

  const MacroTable& table_;
  std::vector<std::unique_ptr<Call>> calls_;
  std::vector<const Macro*> disabled_;
  std::deque<std::string> pasted_;
  // Whether the tokens tell where system headers' macros put them
  // (warns_of_number_forms), set for each line.
  bool marks_system_macros_ = false;
};

}  // namespace sornik::cmode
