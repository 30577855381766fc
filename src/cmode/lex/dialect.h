// The language standards gcc knows (-std=): the version each predefines and the tokens each reads.
#pragma once

#include <optional>
#include <string_view>

#include "common/located_diagnostics.h"

namespace sornik::cmode {

// A language standard (gcc's -std=) as the preprocessor sees it.
struct Dialect {
  // The value of __STDC_VERSION__ (C) or __cplusplus (C++); empty when C90
  // leaves __STDC_VERSION__ undefined.
  std::string_view version;
  bool cplusplus = false;
  // An ISO standard (-std=c11, c++17, ...), not a GNU one: the comma of
  // `, ## __VA_ARGS__` stays when a macro whose only parameter is the
  // variable one is given an empty argument.
  bool strict = false;
  // R"delimiter(...)delimiter" is a raw string literal (GNU C from gnu99,
  // C++11 on).
  bool raw_strings = false;
  // A `'` between digits of a number continues it (C++14 on, C2X).
  bool digit_separators = false;
  // `::` is one token (C++, C2X).
  bool scope = false;
  // C++'s own tokens: `.*`, `->*`, `<::` is `<` and `::`, and the
  // alternative spellings of operators (`and`, `not_eq`, ...) and
  // `true`/`false` are operators and values in #if.
  bool cplusplus_tokens = false;
  // A literal goes on with its suffix ("a"_s, 'c'_x: C++11 on).
  bool user_literals = false;
  // `<=>` is one token (C++20 on).
  bool spaceship = false;
  // u8'c' is a character constant (C++17 on, C2X).
  bool utf8_chars = false;
  // `<:`, `:>`, `<%`, `%>`, `%:` and `%:%:` are punctuators (all but ISO C90).
  bool digraphs = true;
  // `//` begins a comment (all but ISO C90 and C94, where it does so only in
  // code lines, with an error, unless a `*` follows).
  bool line_comments = true;
  // #elifdef and #elifndef are standard (C2X, C++23); GNU dialects before
  // take them as an extension, ISO ones do not know them.
  bool elifdef = false;
  // Identifiers hold characters beyond ASCII, in UTF-8 or as universal
  // character names (all but C90 and C94, where such a character or `\` is
  // a token of its own).
  bool extended_identifiers = true;
  // The nine trigraphs (`??=` for `#`, ...) are converted before anything
  // else is read: ISO C, ISO C++ before C++17, and -trigraphs. Elsewhere
  // they stay as written, with a warning.
  bool trigraphs = false;
  // Comments in code lines are tokens of their own rather than white space
  // (gcc's -C): a macro's arguments carry them into its expansion, a
  // function-like macro's name before one is no call, and a line that
  // begins with one is no directive. Directives drop theirs.
  bool comments_are_tokens = false;
};

// Whether #elifdef and #elifndef are directives of the dialect.
inline bool knows_elifdef(const Dialect& dialect) { return dialect.elifdef || !dialect.strict; }

namespace detail {
// gnu17, the C compiler's default.
inline constinit thread_local Dialect lexing_dialect_value{.version = "201710L", .raw_strings = true};
}  // namespace detail

// The dialect that every reader of C text on this thread follows: one per
// translation unit, set before it reads any text (the readers are too many and too
// deep in the hot paths to carry it along).
inline const Dialect& lexing_dialect() { return detail::lexing_dialect_value; }
inline void set_lexing_dialect(const Dialect& dialect) { detail::lexing_dialect_value = dialect; }

// Sets the lexing dialect while it lives, and then the one before again.
class ScopedLexingDialect {
 public:
  explicit ScopedLexingDialect(const Dialect& dialect) : saved_(lexing_dialect()) {
    set_lexing_dialect(dialect);
  }
  ~ScopedLexingDialect() { set_lexing_dialect(saved_); }
  ScopedLexingDialect(const ScopedLexingDialect&) = delete;
  ScopedLexingDialect& operator=(const ScopedLexingDialect&) = delete;

 private:
  Dialect saved_;
};

// Whether the dialect is C99 or later, or C++11 or later: those ask for more
// than C90 and C++98 of a macro definition and of #line.
inline bool follows_c99(const Dialect& dialect) {
  if (dialect.cplusplus) return dialect.version >= "201103L";
  return !dialect.version.empty() && dialect.version != "199409L";
}

// Whether -Wtraditional's warnings are given: it is a C option, which C++
// takes and ignores, as gcc does.
inline bool warns_traditional() {
  return !lexing_dialect().cplusplus && diagnostic_rules().gives(Warning::traditional);
}

// The pedwarn due where `name` is __VA_ARGS__ or __VA_OPT__ and stands
// outside the replacement list of a variadic macro (`in_variadic_body`
// false), or is __VA_OPT__ under -pedantic in a dialect without it (ISO C,
// ISO C++ before C++20); empty otherwise.
std::string_view variadic_name_warning(std::string_view name, bool in_variadic_body);

// Turns -Wtrigraphs on where `dialect` leaves trigraphs as written, unless
// an option chose it: gcc warns of them there by default, and where it
// converts them only under -Wall or -Wtrigraphs.
inline void default_trigraph_warnings(DiagnosticRules& rules, const Dialect& dialect) {
  const std::uint32_t bit = DiagnosticRules::bit(Warning::trigraphs);
  if (!dialect.trigraphs && (rules.warnings_chosen & bit) == 0) rules.warnings_on |= bit;
}

// Whether #if may warn of the form of an integer constant (a suffix, long
// long, binary): only -pedantic, -Wtraditional and -Wlong-long ask, and only
// then do the tokens of an expansion tell where system headers' macros put
// them (Token::system_macro).
inline bool warns_of_number_forms() {
  const DiagnosticRules& rules = diagnostic_rules();
  return rules.pedantic || (rules.warnings_chosen & DiagnosticRules::bit(Warning::long_long)) != 0 ||
         (!lexing_dialect().cplusplus && rules.gives(Warning::traditional));
}

// The dialect that -std=`name` chooses for C (`cplusplus` false) or C++: ""
// is the compiler's default, "ansi" what -ansi chooses. None for a name of
// the other language or no language.
std::optional<Dialect> find_dialect(std::string_view name, bool cplusplus);

}  // namespace sornik::cmode
