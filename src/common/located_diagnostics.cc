// Diagnostics located in a source file ("file:line: warning: text"), the C
// compiler's form, and those of the run as a whole, under gcc's rules.
#include "common/located_diagnostics.h"

#include <string>
#include <utility>

#include "common/run_io.h"

namespace sornik {

namespace {

thread_local bool any_error = false;
thread_local DiagnosticRules rules;

// The severity a diagnostic is shown with under the rules; none when it is
// not shown.
std::optional<Severity> shown_severity(Severity severity, Warning warning) {
  if (!rules.gives(warning)) return std::nullopt;
  if (severity == Severity::pedwarn) severity = rules.pedantic_errors ? Severity::error : Severity::warning;
  if (severity == Severity::warning) {
    if (rules.no_warnings) return std::nullopt;
    if (rules.makes_error(warning)) severity = Severity::error;
  }
  if (severity == Severity::error) any_error = true;
  return severity;
}

void write_diagnostic(std::string message, Severity severity, std::string_view text) {
  message += severity == Severity::warning ? ": warning: " : ": error: ";
  message.append(text);
  message += '\n';
  err_write(message);
}

}  // namespace

const DiagnosticRules& diagnostic_rules() { return rules; }

void set_diagnostic_rules(const DiagnosticRules& new_rules) { rules = new_rules; }

void report_at(std::string_view file, std::uint32_t line, Severity severity, std::string_view text,
               Warning warning) {
  const std::optional<Severity> shown = shown_severity(severity, warning);
  if (!shown) return;
  std::string place;
  place.reserve(file.size() + text.size() + 24);
  place.append(file);
  place += ':';
  place += std::to_string(line);
  write_diagnostic(std::move(place), *shown, text);
}

void report_of_run(Severity severity, std::string_view text, Warning warning) {
  if (const std::optional<Severity> shown = shown_severity(severity, warning))
    write_diagnostic("sornik", *shown, text);
}

bool located_error_reported() { return any_error; }

void reset_located_errors() { any_error = false; }

std::optional<Warning> warning_named(std::string_view name) {
  static constexpr struct {
    std::string_view name;
    Warning warning;
  } kNames[] = {
      {"undef", Warning::undef},
      {"unused-macros", Warning::unused_macros},
      {"traditional", Warning::traditional},
      {"comment", Warning::comment},
      {"comments", Warning::comment},
      {"trigraphs", Warning::trigraphs},
      {"c++-compat", Warning::cxx_compat},
      {"long-long", Warning::long_long},
      {"deprecated", Warning::deprecated},
      {"multichar", Warning::multichar},
      {"builtin-macro-redefined", Warning::builtin_macro_redefined},
      {"variadic-macros", Warning::variadic_macros},
      {"cpp", Warning::cpp},
      {"expansion-to-defined", Warning::expansion_to_defined},
      {"missing-include-dirs", Warning::missing_include_dirs},
  };
  for (const auto& entry : kNames)
    if (entry.name == name) return entry.warning;
  return std::nullopt;
}

}  // namespace sornik
