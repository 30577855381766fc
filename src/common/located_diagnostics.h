// Diagnostics located in a source file ("file:line: warning: text"), the C
// compiler's form, and those of the run as a whole, under gcc's rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sornik {

// A pedwarn is what ISO C forbids and the compiler takes all the same: a
// warning, and an error under -pedantic-errors.
enum class Severity { warning, error, pedwarn };

// The warnings that a -W option of gcc names (-Wundef, -Wno-deprecated,
// -Werror=traditional, ...); `none` for the diagnostics that no option turns.
enum class Warning : std::uint8_t {
  none,
  undef,
  unused_macros,
  traditional,
  comment,
  trigraphs,
  cxx_compat,
  long_long,
  deprecated,
  multichar,
  builtin_macro_redefined,
  variadic_macros,
  sign_change,           // an #if operand whose sign its promotion changes: -Wall only
  cpp,                   // #warning
  expansion_to_defined,  // `defined` that a macro's expansion gives in #if
  normalized,            // an identifier or number outside a Unicode normalization form
  missing_include_dirs,  // a search directory of the command line that does not exist
};

// The forms of Unicode text that -Wnormalized= checks identifiers against,
// strictest first: NFKC, NFC, NFC but for characters whose NFC no
// identifier may hold (`id`), and none.
enum class NormalForm : std::uint8_t { nfkc, nfc, id, none };

// The warning that gcc's option -WNAME names (-Wcomments too), or none.
std::optional<Warning> warning_named(std::string_view name);

// Where in a logical line a diagnostic points, as the compiler points at the
// token where it finds the fault: a byte offset from the start of the text
// the parser read, or the line's end. A line that splices or a comment
// carries over several physical lines is reported on the one of that point.
constexpr std::uint32_t kAtLineEnd = UINT32_MAX;

// A diagnostic that a parser found, before it is given its place.
struct Finding {
  Severity severity = Severity::warning;
  std::string text;
  Warning warning = Warning::none;
  std::uint32_t at = 0;  // see kAtLineEnd
};

// `text` in double quotes, as the compiler's messages name a macro or token.
inline std::string quoted(std::string_view text) {
  std::string out = "\"";
  out.append(text);
  out += '"';
  return out;
}

// How the options of the run on this thread turn diagnostics: gcc's
// -pedantic, -pedantic-errors, -w, -Werror and the -W options of warnings.
struct DiagnosticRules {
  bool pedantic = false;             // the checks that only -pedantic asks for are made
  bool pedantic_errors = false;      // a pedwarn is an error
  bool no_warnings = false;          // warnings (pedwarns that stay warnings too) are not shown
  bool endif_labels = true;          // text after #else and #endif is a pedwarn (-Wno-endif-labels: none)
  bool warnings_are_errors = false;  // -Werror
  // A bit for each Warning: those given (gcc's defaults), and those that
  // are errors (-Werror=NAME).
  std::uint32_t warnings_on = bit(Warning::deprecated) | bit(Warning::multichar) | bit(Warning::long_long) |
                              bit(Warning::builtin_macro_redefined) | bit(Warning::variadic_macros) |
                              bit(Warning::cpp) | bit(Warning::expansion_to_defined) |
                              bit(Warning::normalized);
  std::uint32_t warnings_as_errors = 0;
  // Those that stay warnings under -Werror (-Wno-error=NAME, unless a
  // -Werror=NAME came after it).
  std::uint32_t warnings_kept = 0;
  NormalForm normalized = NormalForm::nfc;  // -Wnormalized=
  std::uint32_t warnings_chosen = 0;        // named in a -W or -Wno- option
  bool extra = false;                       // -Wextra
  // A diagnostic of a token that an expansion brought names where the token
  // was written (a macro's definition, an argument): gcc's default; under
  // -ftrack-macro-expansion=0 the use.
  bool track_macro_expansion = true;

  // Whether a warning that, unless chosen, only -pedantic or -Wextra give
  // (-Wexpansion-to-defined) is given.
  bool gives_with_extra(Warning warning) const {
    return (warnings_chosen & bit(warning)) != 0 ? gives(warning) : pedantic || extra;
  }

  static constexpr std::uint32_t bit(Warning warning) { return 1U << static_cast<unsigned>(warning); }
  bool gives(Warning warning) const { return warning == Warning::none || (warnings_on & bit(warning)) != 0; }
  // Whether a warning (not a pedwarn) of that Warning is given as an error.
  bool makes_error(Warning warning) const {
    return (warnings_as_errors & bit(warning)) != 0 ||
           (warnings_are_errors && (warning == Warning::none || (warnings_kept & bit(warning)) == 0));
  }
};
const DiagnosticRules& diagnostic_rules();
void set_diagnostic_rules(const DiagnosticRules& rules);

// Writes "file:line: warning: text" (or "error") and a newline to the error
// stream, the C compiler's form, as the rules have it. It never ends the run.
// A diagnostic of a Warning is left out when the rules turn it off.
void report_at(std::string_view file, std::uint32_t line, Severity severity, std::string_view text,
               Warning warning = Warning::none);

// Writes "sornik: warning: text" (or "error"), a diagnostic of the run
// rather than of a place in a file, under the same rules.
void report_of_run(Severity severity, std::string_view text, Warning warning = Warning::none);

// Whether report_at or report_of_run has reported an error since the last reset: a run that
// did ends with status 1.
bool located_error_reported();
void reset_located_errors();

}  // namespace sornik
