// Reading gcc's flags of diagnostics into DiagnosticRules.
#include "common/diagnostic_flags.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace sornik {

namespace {

// -WNAME, -Wno-NAME, -Werror=NAME and -Wno-error=NAME of a warning the C
// mode gives (`flag` without its -W); false for other flags.
bool take_warning_flag(std::string_view flag, DiagnosticRules& rules) {
  const bool off = flag.starts_with("no-");
  if (off) flag.remove_prefix(3);
  const bool error = flag.starts_with("error=");
  if (error) flag.remove_prefix(6);
  const std::optional<Warning> warning = warning_named(flag);
  if (!warning) return false;
  const std::uint32_t bit = DiagnosticRules::bit(*warning);
  if (error) {
    rules.warnings_as_errors = off ? rules.warnings_as_errors & ~bit : rules.warnings_as_errors | bit;
    rules.warnings_kept = off ? rules.warnings_kept | bit : rules.warnings_kept & ~bit;
    if (off) return true;
    rules.warnings_on |= bit;
  } else {
    rules.warnings_on = off ? rules.warnings_on & ~bit : rules.warnings_on | bit;
  }
  rules.warnings_chosen |= bit;
  return true;
}

// The value of -Wnormalized=V, -Werror=normalized=V and -Wno-error=
// normalized=V ("nfc" without `=V`, "none" for -Wno-normalized); none
// for other flags.
std::optional<std::string_view> normalized_flag_value(std::string_view arg) {
  if (arg == "-Wno-normalized") return "none";
  for (const std::string_view prefix : {"-Wnormalized", "-Werror=normalized", "-Wno-error=normalized"}) {
    if (!arg.starts_with(prefix)) continue;
    const std::string_view rest = arg.substr(prefix.size());
    if (rest.empty()) return "nfc";
    if (rest.front() == '=') return rest.substr(1);
  }
  return std::nullopt;
}

}  // namespace

bool take_diagnostic_flag(std::string_view arg, DiagnosticRules& rules) {
  if (arg == "-pedantic" || arg == "-Wpedantic") {
    rules.pedantic = true;
  } else if (arg == "-pedantic-errors" || arg == "-Werror=pedantic") {
    rules.pedantic = rules.pedantic_errors = true;
  } else if (arg == "-w") {
    rules.no_warnings = true;
  } else if (arg == "-Wendif-labels" || arg == "-Wno-endif-labels") {
    rules.endif_labels = arg == "-Wendif-labels";
  } else if (arg == "-Werror") {
    rules.warnings_are_errors = true;
  } else if (arg == "-Wextra") {
    rules.extra = true;
  } else if (arg.starts_with("-ftrack-macro-expansion") || arg == "-fno-track-macro-expansion") {
    rules.track_macro_expansion = arg != "-ftrack-macro-expansion=0" && arg != "-fno-track-macro-expansion";
  } else if (arg == "-Wall") {
    // As in gcc, a warning that an option before named keeps its choice.
    rules.warnings_on |= (DiagnosticRules::bit(Warning::comment) | DiagnosticRules::bit(Warning::trigraphs) |
                          DiagnosticRules::bit(Warning::sign_change)) &
                         ~rules.warnings_chosen;
  } else {
    return arg.starts_with("-W") && take_warning_flag(arg.substr(2), rules);
  }
  return true;
}

std::optional<bool> take_normalized_flag(std::string_view arg, DiagnosticRules& rules, std::string& error) {
  const std::optional<std::string_view> value = normalized_flag_value(arg);
  if (!value) return std::nullopt;
  constexpr std::uint32_t kBit = DiagnosticRules::bit(Warning::normalized);
  if (arg.starts_with("-Wno-error=")) {
    rules.warnings_as_errors &= ~kBit;
    return true;
  }
  static constexpr std::pair<std::string_view, NormalForm> kForms[] = {{"none", NormalForm::none},
                                                                       {"id", NormalForm::id},
                                                                       {"nfc", NormalForm::nfc},
                                                                       {"nfkc", NormalForm::nfkc}};
  const auto* form = std::find_if(std::begin(kForms), std::end(kForms), [&](const auto& entry) {
    return entry.first == *value;
  });
  if (value->empty()) {
    error = "missing argument to '-Wnormalized='";
    return false;
  }
  if (form == std::end(kForms)) {
    error = "argument '" + std::string(*value) + "' to '-Wnormalized' not recognized";
    return false;
  }
  rules.normalized = form->second;
  if (arg.starts_with("-Werror=")) rules.warnings_as_errors |= kBit;
  return true;
}

}  // namespace sornik
