// The rescanner, which expands macro uses by the C preprocessor's rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cmode/expand/expansion_token.h"
#include "cmode/expand/feature_tests.h"
#include "cmode/expand/pragma_actions.h"
#include "cmode/expand/spelling.h"
#include "cmode/expand/substitution.h"
#include "cmode/macro/builtin_state.h"
#include "cmode/macro/macro_table.h"
#include "common/located_diagnostics.h"
#include "common/text_arena.h"

namespace sornik::cmode {

// The tokens of the source file from the use being expanded on, which
// argument lists may take.
class SourceTokens {
 public:
  virtual ~SourceTokens() = default;
  // The source token at `index`, reading further chunks as needed; null at
  // the end of the file and, unless `through_directives`, when a directive or
  // a skipped line comes before it.
  virtual const ExpToken* at(std::size_t index, bool through_directives) = 0;
  // When an argument list found its end (null from at()) where a header
  // that an #include among its lines read ended: that header's name and
  // last line, where the compiler reports the list unterminated. Taking it
  // lets later lists read on.
  virtual bool take_list_end(std::string_view& /*file*/, std::uint32_t& /*line*/) { return false; }
};

// How much of the marker groups an expansion makes: every group with its
// name text, every group with none (the output shows no name), or only the
// outermost use's group (the output shows each group as its expansion alone,
// as if there were none).
enum class Grouping : std::uint8_t { named, unnamed, outermost };

// One use's marker group: its name text (the tokens it consumed) for the
// group's open mark.
struct GroupName {
  std::string text;
  // The macro used: the table's definition until a directive may change it,
  // then a copy kept until reset() (with keep_group_macros), or null.
  const Macro* macro = nullptr;
};

// Expands macro uses by the C preprocessor's rules: arguments are expanded
// before substitution, the result is rescanned with the rest of the input,
// and a macro is not expanded again inside its own expansion. The result is
// a token stream in which the open and close marks of a group enclose the
// expansion of every use, at every depth, and marks stand for the
// compiler's paddings, which decide the blanks between its tokens (BlankRule).
class Rescanner {
 public:
  Rescanner(const MacroTable& table, std::string_view file);
  ~Rescanner();

  // Expands the use whose name is the source token at `index`. On success the
  // tokens of the expansion go to `out` (opened by the mark of group 0), and
  // `end` is the index of the first source token not consumed. Returns false
  // when the token starts no use.
  bool expand_source_use(SourceTokens& source, std::size_t index, std::vector<ExpToken>& out,
                         std::size_t& end);

  // Expands `tokens` as a whole: no source lies beyond them. In a condition
  // the operand of `defined` stays unexpanded. The compiler places its
  // paddings in code; in a header name only around arguments; in other
  // directives none, so that a stringified argument's blanks are those
  // written (ExpToken::own_space).
  void expand_all(std::vector<ExpToken>& tokens, ExpandedFor use, std::vector<ExpToken>& out);

  // The name texts of the groups of the last expansion, by group number.
  const std::vector<GroupName>& groups() const { return groups_; }

  // The source bytes the last expansion consumed end here (in the source window).
  std::uint32_t source_end() const { return source_end_; }

  // Stores a text that lives until the next outermost use.
  TextArena& arena() { return arena_; }

  // Forgets the texts and groups of the last outermost use.
  void reset();

  // The groups that expansions make from now on (named unless set).
  void set_grouping(Grouping grouping) { grouping_ = grouping; }

  // Whether the groups keep their macros (GroupName::macro) across the
  // directives an argument list reads, at the cost of a copy of each.
  void keep_group_macros(bool keep) { keep_group_macros_ = keep; }

  // The file that diagnostics name from now on (the text must outlive its use).
  void set_file(std::string_view file) { file_ = file; }

  // Reports the compiler's diagnostics about the characters of an
  // identifier or a number of the source: universal character names that C
  // allows in no identifier, and characters outside the form that
  // -Wnormalized= asks for.
  void check_token_characters(const ExpToken& token);

  // What answers feature tests in code; without it they stay as written.
  void set_feature_tests(FeatureTests* tests) { feature_tests_ = tests; }

  // What acts on the pragmas of _Pragma operators; without it they are only written.
  void set_pragma_actions(PragmaActions* actions) { pragma_actions_ = actions; }

  // Where the built-in macros find the file, line, counter and time they
  // give; without it, a state of the rescanner's own that names the file
  // diagnostics name.
  void set_builtin_state(BuiltinState* state) { builtins_ = state; }

  // Copies every text that expansions in progress still hold into storage of
  // its own, before the source moves to its next chunk (which may be a
  // directive that changes any macro).
  void stabilize();

 private:
  struct Context {
    // What the level reads: `owned`, or a run of tokens that lives below it
    // (an argument, a level's own tokens) and stays unchanged while it is live.
    std::span<const ExpToken> tokens;
    std::vector<ExpToken> owned;  // a macro's expansion
    std::size_t pos = 0;
    // The name of the macro whose expansion this is, disabled while the
    // context is live; empty for an argument.
    std::string_view name;
    // The definition whose flag says so (Macro::expanding), or null when the
    // name is looked for in named_levels_ instead.
    const Macro* flagged = nullptr;
  };
  // Where one rescanning loop reads and writes: contexts from `floor` up, and
  // beneath them the source (only for the outermost loop).
  struct Scope {
    std::size_t floor;
    bool source_below;
    std::vector<ExpToken>* out;
    bool in_condition;
    // Whether a _Pragma operator acts here: not in directives, and not while
    // an argument is expanded before substitution (# may still spell it).
    bool runs_pragmas;
  };
  // A read position below the top of the context stack; level -1 is the source.
  struct Walk {
    std::ptrdiff_t level;
    std::size_t pos;
  };
  struct CallScratch;

  void rescan(const Scope& scope);
  bool try_use(const Scope& scope, const ExpToken& name, const Macro& macro);
  bool collect(const Scope& scope, CallScratch& call, Walk& walk);
  bool check_count(CallScratch& call);
  // report_lexed_name for the names of the arguments that the use does not
  // expand (it only stringifies or pastes them, or leaves them out), which
  // no rescan looks up.
  void report_names_not_expanded(CallScratch& call);
  void hoist_open_groups(CallScratch& call);
  // Copies the arguments read in place so far, to go on by copying.
  void copy_run(CallScratch& call);
  // Marks the identifiers among `tokens` whose macro is disabled now.
  void paint_disabled(std::vector<ExpToken>& tokens);
  // A use whose argument list is unterminated or has the wrong count.
  void fail_use(const Scope& scope, CallScratch& call, const Walk& end);
  void report(std::uint32_t line, std::string_view text, Severity severity = Severity::error);
  // A problem of a substitution of `macro` at a use on `use_line`, where
  // the compiler places it.
  void report_problem(const SubstitutionProblem& problem, const Macro& macro, std::uint32_t use_line);
  Walk start(const Scope& scope) const;
  // The diagnostic the compiler gives where it lexes a name that the table
  // holds: a poisoned one's error, __VA_ARGS__'s or __VA_OPT__'s pedwarn
  // (Macro::warned_at_use); a name from a replacement list has had it. True
  // when the entry is no macro to expand.
  bool report_lexed_name(const ExpToken& name, const Macro& macro);
  // Replaces a use of a built-in macro; false when the use stays as written.
  bool try_builtin(const Scope& scope, const ExpToken& name, const Macro& macro);
  // The token a built-in macro that stands for a value gives at `name`.
  ExpToken builtin_value(const ExpToken& name, Builtin kind);
  // What the reading of an operator's operand (_Pragma's, __has_include's),
  // macros expanded, has consumed so far.
  struct OperandReading {
    // The group's name text: the operator and the tokens it consumed from the
    // levels that were live before it, not those its operand's macros made.
    std::string display;
    // The marks the reading stepped over, in order.
    std::vector<ExpToken> crossed;
    // Levels below this one were live before the reading: what it reads from
    // them is the operator's own text.
    std::size_t own_levels = 0;
    // For each use an own token started: its group, and where its text begins
    // in `display`.
    std::vector<std::pair<std::uint32_t, std::size_t>> own_uses;
    ExpToken current;
    // Whether the operator's name was written with white space before it.
    bool spaced = false;
  };
  bool try_pragma(const Scope& scope, const ExpToken& name, const Macro& macro);
  // The next token of an operand, macros expanded, consumed; null at the end.
  const ExpToken* next_operand_token(const Scope& scope, OperandReading& reading);
  void take_closing_marks(const Scope& scope, OperandReading& reading);
  void take_operator_text(std::uint32_t group, const OperandReading& reading, std::uint32_t outer);
  // Writes the operator's group, holding `expansion` (its #pragma line, the
  // name left as it was on a wrong operand, or null for nothing), between
  // the marks its operand crossed.
  void write_pragma_group(const Scope& scope, std::uint32_t group, OperandReading& reading,
                          const ExpToken* expansion);
  // __has_attribute (x) and its kin in code: the compiler's answer.
  bool try_feature_test(const Scope& scope, const ExpToken& name, const Macro& macro);
  // __has_include (header) and __has_include_next in code: an error, and
  // the answer, as the compiler gives both.
  bool try_header_test(const Scope& scope, const ExpToken& name, const Macro& macro);
  // After a '<' of the source (`reading.current`) with a '>' after it on its
  // line: the header name as the compiler lexes it there, its tokens up to
  // the '>' glued and consumed unexpanded. False, consuming nothing, for any
  // other '<'.
  bool take_written_header_name(const Scope& scope, OperandReading& reading, std::string& name);
  // The next token of a feature test's operand, the marks on the way
  // consumed into `crossed`; null at the end.
  const ExpToken* next_operand_token(const Scope& scope, Walk& walk, std::vector<ExpToken>& crossed);
  // Consumes that token into `parts`.
  void keep_operand_token(const ExpToken& token, Walk& walk, std::vector<ExpToken>& parts);
  // Replaces a feature test, whose consumed tokens are `parts`, by `value`.
  void write_test_value(const Scope& scope, const ExpToken& name, const Macro& macro,
                        const std::vector<ExpToken>& crossed, const std::vector<ExpToken>& parts,
                        std::intmax_t value);
  const ExpToken* item(const Scope& scope, Walk& walk, bool through_directives);
  const ExpToken* peek_real(const Scope& scope, Walk& walk);
  void take(const Scope& scope, const Walk& walk);
  bool disabled(const Macro* macro, std::string_view name, std::ptrdiff_t up_to_level) const;
  // A new top level for `macro`'s expansion (null for an argument); its
  // tokens are set once they are made.
  std::vector<ExpToken>& push_context(const Macro* macro, bool table_holds_it = true);
  // -Wtraditional: a function-like macro's name with no "(" after it.
  [[gnu::cold]] void warn_of_use_without_arguments(std::uint32_t line, const Macro& macro);
  // -Wexpansion-to-defined: `defined` in #if that a macro's expansion gives.
  [[gnu::cold]] void warn_of_expanded_defined(std::uint32_t line);
  void pop_to(std::size_t depth);
  // Gives back the storage of a large token list.
  void release_if_large(std::vector<ExpToken>& tokens);
  // Readies a list that is about to take `count` tokens, with a spare large
  // list's storage when it will be large.
  void expect_tokens(std::vector<ExpToken>& tokens, std::size_t count);
  void set_flags(std::size_t from_level, std::size_t to_level, bool expanding);
  std::uint32_t new_group(std::string_view name, const Macro& macro);
  // Appends a mark of `group`, standing for the compiler's padding (for an
  // open mark, that of a name written with white space before it or not:
  // `spaced`); where the grouping leaves the group out, the padding alone.
  void push_mark(std::vector<ExpToken>& out, Mark kind, std::uint32_t group, bool spaced = false) const;

  void emit_unexpanded_operand(const Scope& scope, bool bare_name_allowed);

  const MacroTable& table_;
  std::string_view file_;
  FeatureTests* feature_tests_ = nullptr;
  PragmaActions* pragma_actions_ = nullptr;
  BuiltinState* builtins_ = nullptr;
  BuiltinState own_builtins_;
  SourceTokens* source_ = nullptr;
  std::size_t source_next_ = 0;
  std::uint32_t source_end_ = 0;
  std::vector<Context> contexts_;
  std::size_t depth_ = 0;
  // The live levels whose macro is disabled by its name: their definition may
  // no longer be the one the table holds (the source moved on while they
  // were live, or the use took a copy kept from before). Ascending.
  std::vector<std::size_t> named_levels_;
  std::vector<GroupName> groups_;
  std::size_t group_count_ = 0;
  // The groups before this one hold macros that outlive a directive.
  std::size_t groups_stable_ = 0;
  bool keep_group_macros_ = false;
  Grouping grouping_ = Grouping::named;
  // Whether the marks of uses stand for the compiler's paddings.
  bool padding_ = true;
  std::vector<std::unique_ptr<CallScratch>> calls_;
  std::vector<ExpToken>* outermost_out_ = nullptr;
  std::size_t call_depth_ = 0;
  TextArena arena_;
  std::vector<MacroPtr> kept_macros_;
  std::vector<std::vector<ExpToken>> spare_lists_;
  Substituter substituter_{arena_, table_};
  std::string text_;
};

}  // namespace sornik::cmode
