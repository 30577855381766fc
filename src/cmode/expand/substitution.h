// The substituter, which builds a use's replacement list from its macro and arguments.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/expand/expansion_token.h"
#include "cmode/expand/spelling.h"
#include "cmode/lex/dialect.h"
#include "cmode/macro/macro_table.h"
#include "common/located_diagnostics.h"
#include "common/text_arena.h"

namespace sornik::cmode {

// The arguments of one use of a function-like macro.
class Arguments {
 public:
  virtual ~Arguments() = default;
  // The tokens of argument `index` as written (marks included).
  virtual std::span<const ExpToken> raw(std::size_t index) = 0;
  // The tokens of argument `index` after full macro expansion (asked only
  // for the arguments that find_expanded_arguments marks).
  virtual std::span<const ExpToken> expanded(std::size_t index) = 0;
  // Whether the variable arguments were left out entirely (`f(1)` for `f(a, ...)`).
  virtual bool variadic_absent() const = 0;
};

// A diagnostic of one substitution.
struct SubstitutionProblem {
  Severity severity;
  std::string message;
  // Where the compiler places it: at the use (0), on a line of the text
  // being read, or in the macro's definition.
  std::uint32_t line = 0;
  bool in_definition = false;
};

// Builds replacement lists: parameters replaced by arguments, `#`, `##`,
// `__VA_OPT__` and the GNU comma before `## __VA_ARGS__` applied.
class Substituter {
 public:
  // `table` tells which names are macros, which a literal pasted to one
  // does not take as its suffix. Made for one file, under the diagnostic
  // rules and dialect of its unit.
  Substituter(TextArena& arena, const MacroTable& table)
      : arena_(arena),
        table_(table),
        empty_arguments_warned_(diagnostic_rules().pedantic && !follows_c99(lexing_dialect())) {}

  // Appends the replacement list of `macro` for one use to `out`. All its
  // tokens carry `line`; the first one takes `space_before` from the use's name.
  // `args` is null for an object-like macro.
  void substitute(const Macro& macro, Arguments* args, std::uint32_t line, bool space_before,
                  std::vector<ExpToken>& out);

  // What the last substitution reports, in the C compiler's words: the
  // pastes that made no single token (each keeps its two tokens, an error)
  // and the stringified arguments that lost a final backslash (a warning).
  const std::vector<SubstitutionProblem>& problems() const { return problems_; }

  // Whether the tokens made tell where system headers' macros spelled and
  // hold them (Token::system_macro), which #if asks.
  void set_marks_system_macros(bool marks) { marks_system_macros_ = marks; }

  // Whether arguments stand between the compiler's paddings (Padding),
  // which it places in code but not in directives.
  void set_padding(bool padding) { padding_ = padding; }

 private:
  struct Run;
  // Under -pedantic in C90 and C++98, a parameter the list uses whose
  // argument is empty is a pedwarn.
  void check_empty_arguments(Run& run);
  // Where an item of a replacement list stands relative to the ## around it.
  struct PasteSides {
    bool after;        // right after a ##
    bool before;       // right before a ##
    bool va_opt_edge;  // first or last inside a __VA_OPT__ that a ## touches
  };
  void substitute_range(Run& run, std::size_t begin, std::size_t end, std::vector<ExpToken>& out,
                        bool first_is_operand = false, bool last_is_operand = false);
  void append_operand(Run& run, std::size_t& pos, std::size_t end, PasteSides sides,
                      std::vector<ExpToken>& out);
  // Appends `argument`, which stands for a parameter written with white
  // space before it or not (`spaced`), with the compiler's paddings before
  // and after it where asked and where they may change a blank.
  void append_argument(std::span<const ExpToken> argument, bool spaced, bool pad_before, bool pad_after,
                       std::vector<ExpToken>& out) const;
  // Whether a name that a paste made a literal's suffix is a macro, which
  // stays a token of its own.
  bool is_macro_not_suffix(std::string_view name) const;
  // Pastes the operand that starts at `right_start` to the token before it;
  // a failure is reported where the left operand was written, as the
  // compiler has it (in `macro`'s definition, or in an argument).
  void paste(const Macro& macro, std::vector<ExpToken>& out, std::size_t right_start);
  bool gnu_comma(Run& run, std::size_t& pos, std::vector<ExpToken>& out);
  // Whether the variable arguments leave out the comma of `, ## __VA_ARGS__`.
  bool gnu_comma_goes(Run& run) const;
  // Whether the item at `pos`, the right operand of a ##, is a comma that
  // `, ## __VA_ARGS__` leaves out: then nothing is pasted to it.
  bool pastes_dropped_comma(Run& run, std::size_t pos, std::size_t end) const;
  bool va_opt_taken(Run& run);

  TextArena& arena_;
  const MacroTable& table_;
  // Under -pedantic in C90 and C++98 an empty argument is a pedwarn.
  bool empty_arguments_warned_;
  bool marks_system_macros_ = false;
  bool padding_ = true;
  Respeller respeller_;
  std::string scratch_;
  std::vector<SubstitutionProblem> problems_;
};

// Puts in `needed` the parameters whose arguments a use of `macro`
// substitutes macro-expanded: those used as no operand of # or ##, and the
// variable arguments when __VA_OPT__ asks whether they are empty; each once,
// in the order of that first use in the body, where the compiler expands
// them (a __COUNTER__ in them counts in that order).
void find_expanded_arguments(const Macro& macro, std::vector<std::size_t>& needed);

}  // namespace sornik::cmode
