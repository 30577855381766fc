// gcc's flags of diagnostics (-pedantic*, -w, -W..., -Wnormalized=) read into the rules that report_at
// follows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/located_diagnostics.h"

namespace sornik {

// Takes one of gcc's flags that change which diagnostics are given and how:
// -pedantic, -pedantic-errors, -w, -Wall, -Wextra, -Werror, -WNAME,
// -Wno-NAME, -Werror=NAME, -Wno-error=NAME of a warning the C mode gives,
// and -ftrack-macro-expansion. False for any other flag.
bool take_diagnostic_flag(std::string_view arg, DiagnosticRules& rules);

// -Wnormalized[=V], -Werror=normalized[=V], -Wno-error=normalized[=V] and
// -Wno-normalized: none for any other flag; else whether it was taken, with
// gcc's error in `error` when its value is none gcc knows.
std::optional<bool> take_normalized_flag(std::string_view arg, DiagnosticRules& rules, std::string& error);

}  // namespace sornik
