// The C mode's preprocessor: directives, the conditional stack, includes and
// the macro table's changes over one translation unit.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cmode/condition/assertions.h"
#include "cmode/condition/condition_expansion.h"
#include "cmode/condition/if_expression.h"
#include "cmode/facts/facts_source.h"
#include "cmode/lex/dialect.h"
#include "cmode/lex/logical_lines.h"
#include "cmode/lex/token.h"
#include "cmode/lex/trigraphs.h"
#include "cmode/listing/expander.h"
#include "cmode/macro/builtin_state.h"
#include "cmode/macro/macro_table.h"
#include "cmode/pp/define_directive.h"
#include "cmode/pp/include_search.h"
#include "common/located_diagnostics.h"

namespace sornik::cmode {

// What the operand of an #include makes: no header name, "name", <name>,
// or a name whose end is missing: a '<' whose '>' never came.
enum class HeaderForm : std::uint8_t { none, quoted, angled, unended };

// A header name from tokens alone: "f", or < ... > with the spellings glued
// as the compiler glues them, a blank where white space stood before one.
// `taken` is the number of tokens it took: for a '<' without its '>', all.
HeaderForm header_name_of_tokens(std::span<const Token> tokens, std::string& name, std::size_t& taken);

// One file being read: a source, a -d header, an included header, or the
// command line's definitions.
struct FileFrame {
  std::string_view path;  // as found; diagnostics name it
  // The name __FILE__ gives until a #line changes it, when not `path` (a
  // source under its compile command's name for it).
  std::string_view presumed_path;
  std::string_view dir;  // where a quoted #include looks first
  // Where the include search found the file (-1: not through the chain).
  int chain_index = -1;
  // A source file named on the command line.
  bool is_source = false;
  // A header of a system directory, or found beside one: the warnings of
  // its directives are not shown (#warning aside).
  bool system_header = false;
  // The header's entry, for #pragma once and its include guard.
  HeaderFile* header = nullptr;
  // The physical line of the line being read.
  std::uint32_t line = 1;
  // The file's index among the table's definition files (set by begin_file).
  std::uint32_t definition_file = 0;
  // The bytes of the file its reader holds (all of a header, the buffer of a
  // source): a feature test not yet known is asked together with the others
  // found there.
  std::string_view text_in_hand;

  // Kept by the preprocessor: the conditionals of this file start at
  // conditional_base on its stack; the include-guard detection.
  std::size_t conditional_base = 0;
  enum class Guard : std::uint8_t { expect_ifndef, inside, after_endif, none } guard = Guard::expect_ifndef;
  std::string guard_macro;
  bool line_comment_reported = false;  // C90's error of a `//` comment, once a file
  // The line being read, when it holds trigraphs that the dialect converts:
  // the frame's own, as an #include on it reads other files' lines.
  ConvertedText converted_line;
};

// The preprocessor's directives over one macro table: definitions, the
// conditional stack, includes.
class Preprocessor final : public ConditionContext, public FeatureTests, public PragmaActions {
 public:
  // Enters the built-in macros (builtin_macros.h) into the table.
  Preprocessor(MacroTable& table, IncludeSearch& search, Expander& expander);

  // Defines __STDC__, __STDC_HOSTED__, and __STDC_VERSION__ (or
  // __cplusplus) as the dialect has it: the macros a run keeps without those
  // of its compiler.
  void define_predefined(const Dialect& dialect);

  // Defines the compiler's predefined macros, given as its `-dM` lines.
  void define_predefined(std::string_view definitions);

  // Where feature tests such as __has_attribute are answered; without it
  // every test gives 0.
  void set_facts(FactsSource* facts) { facts_ = facts; }

  // -D name (as 1), -D name=value, -D 'F(x)=value'.
  void define_option(std::string_view definition);

  // -U name.
  void undefine_option(std::string_view name);

  // Reads an -imacros (or -d) header for its macros: `name` in the current
  // directory, else in the include chain. 0, or the errno value telling why
  // it cannot be read.
  int read_macros(const std::string& name);

  // Reads an -include header, found as `name` is for read_macros, as if the
  // source began with #include "name". 0, or the errno value telling why it
  // cannot be read.
  int include_file(const std::string& name);

  // Whether the headers' texts (and their lines) are kept once read, for
  // units still to come in this state; otherwise the text of a header shut
  // by its guard is given back.
  void keep_header_texts(bool keep) { keep_header_texts_ = keep; }

  // gcc's -H: each header the source includes is named on the error stream
  // as it is read, after a dot for each level of nesting; at the unit's end
  // follow the headers read once that no guard shuts.
  void show_headers(bool show) { show_headers_ = show; }

  // Every change to the table between these two calls is undone before the
  // next unit begins, as are #pragma once marks: each source starts from the
  // same table.
  void begin_unit();
  void end_unit();

  // A file starts or ends; the end reports the conditionals left open.
  void begin_file(FileFrame& frame);
  void end_file(FileFrame& frame);
  // Sets the frame's definition file for what it is now (a system header
  // or not).
  void set_definition_file(FileFrame& frame);

  // Acts on one logical line of the innermost file: its bytes, and what
  // scan_logical_line found of it.
  void take_line(FileFrame& frame, std::string_view bytes, const LogicalLine& line);

  // Whether lines of a group not taken are being read.
  bool skipping() const { return skipping_; }

  // ConditionContext: `defined` and __has_include for #if (and, as
  // FeatureTests, the header search of __has_include in code lines).
  bool is_defined(std::string_view name) override;
  void expand_operand(std::span<const Token> written, std::vector<Token>& out) override;
  bool header_found(std::string_view name, bool angled, bool next) override;
  std::intmax_t has_feature(std::string_view test) override;
  // FeatureTests: the same answers for code lines.
  std::intmax_t feature_value(std::string_view test) override { return has_feature(test); }
  // PragmaActions: a _Pragma operator acts as its #pragma line.
  bool pragma_operator(std::string_view text, std::uint32_t line) override;

 private:
  // The file that diagnostics name for -D and -U.
  static constexpr std::string_view kCommandLinePath = "<command-line>";
  struct Conditional {
    std::uint32_t line = 0;
    bool was_skipping = false;  // the state outside the conditional
    bool taken = false;         // a group of it has been taken
    bool seen_else = false;
    std::string_view directive;  // "#if", "#ifdef" or "#ifndef"
  };
  struct Change {
    std::string name;
    MacroPtr old;  // the definition before the change, or null
  };
  enum class IncludeKind : std::uint8_t { include, include_next, import };

  // Sets skipping_, and what the line scan reads of it.
  void set_skipping(bool skipping) {
    skipping_ = skipping;
    reading_group_not_taken = skipping;
  }
  // Where a diagnostic about a physical line of the innermost file points.
  SourcePlace presumed_place(std::uint32_t physical_line) const;
  void report(Severity severity, std::string_view text, Warning warning = Warning::none);
  // As report, at a point of the directive line being read (kAtLineEnd, or
  // a byte offset into it such as a token's `begin`).
  void report(std::uint32_t at, Severity severity, std::string_view text, Warning warning = Warning::none);
  void report(const Token& token, Severity severity, std::string_view text, Warning warning = Warning::none) {
    report(token.begin, severity, text, warning);
  }
  // Reports a comment that the file ends inside, the raw strings of a line
  // that are no valid literals, the literals it leaves open, its splices
  // with white space, its trigraphs and, under -pedantic, what a directive
  // holds that ISO C forbids. Out of line: few lines hold any of these
  // (every line comes here under -pedantic), and take_line is on every
  // line's path. Returns the line as it is read: its trigraphs converted
  // where the dialect converts them.
  [[gnu::cold, gnu::noinline]] std::string_view check_line(FileFrame& frame, std::string_view bytes,
                                                           const LogicalLine& line);
  // Warns of the trigraphs of the frame's line as the rules ask, and
  // returns the line as it is read.
  std::string_view read_trigraphs(FileFrame& frame, std::string_view bytes);
  // Reports the string literals and character constants that a line, which
  // starts on physical line `first_line`, ends before they close.
  void report_open_literals(std::string_view bytes, std::uint32_t first_line);
  // As report, about a physical line of the innermost file.
  void report_on(std::uint32_t physical_line, Severity severity, std::string_view text,
                 Warning warning = Warning::none);
  // The checks of a directive line that only -pedantic asks for.
  [[gnu::cold, gnu::noinline]] void check_pedantic(const FileFrame& frame, std::string_view line);
  // Takes the diagnostic rules of the run: whether every line is checked
  // for -pedantic.
  void take_rules();
  // Warns of what a logical line's bytes hold that the compiler warns of
  // before it reads tokens; the line starts on physical line `first_line`.
  void check_line_bytes(std::string_view bytes, std::uint32_t first_line);
  // Reports the first `//` comment of a file that C90 has none of.
  void check_c90_comment(FileFrame& frame, std::string_view bytes, LineKind kind);
  void directive(FileFrame& frame, std::string_view line);
  // The warnings that only -W options ask for (optional_warnings.cc), of
  // a line before it is acted on: -Wtraditional's about a directive,
  // -Wc++-compat's and -Wcomment's about the lines not skipped.
  [[gnu::cold]] void check_line_options(std::string_view bytes, const LogicalLine& line,
                                        std::uint32_t first_line);
  void check_traditional_directive(std::string_view line);
  void check_comments(std::string_view bytes, std::uint32_t first_line, bool directive);
  // -Wtraditional: a definition's literals that hold a parameter's name.
  [[gnu::cold]] void check_traditional_stringification(const Macro& macro);
  void conditional_directive(FileFrame& frame, std::string_view name, std::span<const Token> rest);
  void else_or_endif(FileFrame& frame, std::string_view name, std::span<const Token> rest);
  bool ifdef_value(std::string_view directive, std::span<const Token> rest, bool want_defined);
  bool if_value(std::span<const Token> rest);
  // Whether the tokens of an #if hold a name that expansion would replace
  // (the operand of `defined` aside); most hold none.
  bool needs_expansion(std::span<const Token> tokens) const;
  // The value of the expanded tokens of an #if (`written` before expansion),
  // its diagnostics reported.
  bool condition_value(std::span<const Token> tokens, std::span<const Token> written);
  // The value of an #if line that tests assertions.
  bool assertion_value(std::span<const Token> written);
  void define(std::span<const Token> rest);
  // Reports what the parse of a #define found and puts its macro in the
  // table; the parse read the directive line from `base` on.
  void add_definition(DefineParse parse, std::uint32_t base);
  // Reports the compiler's diagnostics about the characters of identifiers
  // and numbers (universal character names that C allows in no identifier,
  // characters outside the form -Wnormalized= asks for): those of a
  // #define's operands (a view into the directive line), or of one token.
  [[gnu::cold]] void check_define_characters(std::string_view define_operands);
  // Those of the directive that tokens_ holds.
  [[gnu::cold]] void check_directive_characters();
  void report_token_characters(const Token& token);
  void undefine(std::span<const Token> rest);
  void include(FileFrame& frame, IncludeKind kind, std::span<const Token> rest, std::string_view line);
  void read_header(const FoundHeader& found, bool system_header);
  // Under -H: the headers of the unit read once, none of them shut by an
  // include guard or #pragma once, sorted by name.
  void list_unguarded_headers();
  // Where an -imacros or -include header `name` is: in the current
  // directory, else in the include chain.
  FoundHeader find_command_line_header(const std::string& name);
  // Acts on a #pragma; returns whether it is one of the preprocessor's own.
  bool pragma(FileFrame& frame, std::span<const Token> rest);
  void push_or_pop_macro(std::string_view name, std::span<const Token> operands);
  // #pragma GCC dependency: warns when the file named is newer than this one.
  void dependency(const FileFrame& frame, std::span<const Token> operands);
  // #pragma GCC poison: the names may not be used from here on.
  void poison(std::span<const Token> names);
  // Whether the table's entry of a name used is a poisoned name's; reports
  // the use if so.
  bool poisoned(const Macro& macro) {
    if (macro.builtin() != Builtin::poisoned) return false;
    report_poisoned(macro);
    return true;
  }
  void report_poisoned(const Macro& macro);
  // Reports the pedwarn due where __VA_ARGS__ or __VA_OPT__ is written in a
  // directive (Macro::warned_at_use); whether the entry is their stand-in,
  // which is no macro.
  bool variadic_stand_in(const Macro& macro) {
    if (!macro.warned_at_use()) return false;
    report_variadic_name(macro.name());
    return macro.builtin() == Builtin::variadic_name;
  }
  void report_variadic_name(std::string_view name);
  // The diagnostics of poisoned names and of __VA_ARGS__ and __VA_OPT__ among
  // the tokens of a directive that looks up none of its names (#pragma,
  // #error, #ident, #assert, ...), where the compiler gives them as it lexes.
  void report_lexed_names(std::span<const Token> tokens);
  // #line, or a line marker ("# 33 "file" 1", with `marker`), on `line`.
  void line_directive(FileFrame& frame, std::span<const Token> rest, std::string_view line, bool marker);
  void message(std::string_view directive, std::span<const Token> rest);
  // The warning of a directive that ISO C lacks (under -pedantic) or that
  // GCC deprecates.
  void gnu_directive(std::string_view name);
  // The directives seldom met (#ident, #sccs, #assert, #unassert), or an
  // unknown one.
  void rare_directive(std::string_view name, std::span<const Token> rest);
  // #ident and #sccs; #assert and #unassert.
  void ident(std::string_view name, std::span<const Token> rest);
  void assertion(std::string_view name, std::span<const Token> rest);
  // The pedwarn of #elifdef or #elifndef in a GNU dialect before C2X (C++23).
  void report_elifdef_extension(std::string_view name);
  void check_end(std::string_view directive, std::span<const Token> extra) {
    if (!extra.empty()) report_extra_tokens(directive, extra[0]);
  }
  void report_extra_tokens(std::string_view directive, const Token& first);
  // As check_end, for the tokens that `extra` expands to.
  void check_end_expanded(std::string_view directive, std::span<const Token> extra);
  // The header name of an #include line (`line` its text), macros expanded
  // where it is no name as written; a '<' without its '>' is reported, the
  // name glued to the end.
  HeaderForm header_name(std::span<const Token> operand, std::string_view line, std::string& name);

  // Puts a definition, whose name has that hash_name, in the table; warns,
  // when asked to, if it replaces a different one.
  void set_macro(MacroPtr macro, bool warn_if_different, std::uint64_t name_hash);
  // Whether every #define and #undef of the macro's name is warned about:
  // a built-in macro, or a name the C compiler guards even once the program
  // has defined it itself.
  static bool guarded(const Macro& macro);
  // The option that turns the warning of a #define or #undef that changes
  // `macro`.
  static Warning change_warning(const Macro& macro);
  void remove_macro(std::string_view name);
  // -Wunused-macros: warns of a macro of the source file that was never
  // used, as its definition is replaced or removed or the source ends.
  void warn_if_unused(const Macro& macro);
  void warn_of_unused_macros();
  // Restores the table and marks as they were when the last unit began.
  void undo_unit();
  void read_text(FileFrame& frame, std::string_view text);
  // A header's code lines are not listed, but __COUNTER__ counts each of its
  // expansions in them: once a macro mentions it, they are expanded for that
  // alone (and under -Wunused-macros, for the macros they use), lines joined
  // while parentheses stay open (header_code.cc). A
  // __COUNTER__ written in a header's code itself, rare as it is, is not
  // looked for: finding it would cost every header a search of its bytes.
  // Otherwise the lines of a header other than a system one are only kept
  // while their bytes leave parentheses open, and lexed and expanded only
  // when they are still open at its end, for the error of the list left
  // open there.
  // Expands header code from now on if `header` spells __COUNTER__.
  void watch_for_counter(HeaderFile& header);
  void take_header_code(FileFrame& frame, std::string_view bytes);
  // How many more '(' than ')' the bytes of a line hold (parentheses in
  // comments and literals count).
  static int parenthesis_balance(std::string_view bytes);
  // How many more '(' than ')' tokens there are.
  static int parentheses_left_open(std::span<const Token> tokens);
  // Lexes the lines kept into tokens_ and gives how many parentheses their
  // tokens leave open.
  int lex_header_code();
  // Expands the joined lines kept, as if at `line`, when __COUNTER__ may
  // count in them or a list is left open: it is reported there.
  void flush_header_code(FileFrame& frame, std::uint32_t line);
  void drop_header_code();
  // Puts into tokens_ the tokens of a directive line named `name` (written
  // plainly when `plain`) that its handling reads.
  void lex_directive(std::string_view line, std::string_view name, bool plain);

  MacroTable& table_;
  FactsSource* facts_ = nullptr;
  IncludeSearch& search_;
  Expander& expander_;
  ConditionExpansion condition_expansion_{table_};
  Lexer lexer_;
  // The bytes of the directive line being read (while it is read).
  std::string_view directive_line_;
  std::vector<Token> tokens_;
  std::vector<Token> expanded_;
  std::string expanded_texts_;
  Assertions assertions_;
  std::vector<Token> asserted_;  // an #if line's tokens with its assertion tests resolved

  std::vector<FileFrame*> frames_;
  BuiltinState builtins_;
  std::vector<Conditional> conditionals_;
  bool skipping_ = false;
  bool pedantic_ = false;  // the rules of the unit ask for -pedantic's checks of every line

  std::unordered_set<const HeaderFile*> once_;
  std::unordered_map<std::string, std::vector<MacroPtr>> pushed_macros_;
  bool in_unit_ = false;
  bool unit_to_undo_ = false;  // a unit has ended and its changes stand
  bool keep_header_texts_ = false;
  bool show_headers_ = false;
  // Under -H: how often the unit has read each header.
  std::unordered_map<const HeaderFile*, std::uint32_t> header_readings_;
  // Header code lines are expanded: a macro of this state has mentioned
  // __COUNTER__, or -Wunused-macros asks which macros they use (never cleared).
  bool expand_header_code_ = false;
  std::string header_code_;  // header code lines whose parentheses are open
  // Expanded: how many parentheses the tokens of the lines kept leave open;
  // unexpanded, their bytes.
  int header_code_depth_ = 0;
  // Unexpanded lines kept past this size are lexed to learn whether a
  // literal's parenthesis fooled the count of their bytes.
  std::size_t header_code_check_at_ = 0;
  std::size_t includes_read_ = 0;  // in this translation unit (or before the first)
  std::vector<Change> changes_;
  std::uint32_t source_definition_file_ = 0;  // the definition file of the unit's source (0: none yet)
  // The options of the run ask for -Wtraditional, or for the warnings that
  // look at every line (set as each file begins).
  bool traditional_warnings_ = false;
  bool unused_macro_warnings_ = false;
  bool line_checks_ = false;  // -Wtraditional, -Wc++-compat, -Wcomment or C90's `//`
  // What C90 makes of a `//` comment: an error in ISO C90 and C94, a pedwarn
  // in GNU C90 under -pedantic.
  enum class C90Comments : std::uint8_t { allowed, error, pedwarn } c90_comments_ = C90Comments::allowed;
};

}  // namespace sornik::cmode
