// Diagnostics located in a source file ("file:line: warning: text"), the C
// compiler's form.
#include "common/located_diagnostics.h"

#include <string>

#include "common/run_io.h"

namespace sornik {

namespace {

thread_local bool any_error = false;
thread_local DiagnosticRules rules;

}  // namespace

const DiagnosticRules& diagnostic_rules() { return rules; }

void set_diagnostic_rules(const DiagnosticRules& new_rules) { rules = new_rules; }

void report_at(std::string_view file, std::uint32_t line, Severity severity, std::string_view text,
               Warning warning) {
  if (!rules.gives(warning)) return;
  if (severity == Severity::pedwarn) severity = rules.pedantic_errors ? Severity::error : Severity::warning;
  if (severity == Severity::warning) {
    if (rules.no_warnings) return;
    if (rules.makes_error(warning)) severity = Severity::error;
  }
  std::string message;
  message.reserve(file.size() + text.size() + 24);
  message.append(file);
  message += ':';
  message += std::to_string(line);
  message += severity == Severity::warning ? ": warning: " : ": error: ";
  if (severity == Severity::error) any_error = true;
  message.append(text);
  message += '\n';
  err_write(message);
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
  };
  for (const auto& entry : kNames)
    if (entry.name == name) return entry.warning;
  return std::nullopt;
}

}  // namespace sornik
