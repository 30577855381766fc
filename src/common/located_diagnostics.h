// Diagnostics located in a source file ("file:line: warning: text"), the C
// compiler's form.
#pragma once

#include <cstdint>
#include <string_view>

namespace sornik {

enum class Severity { warning, error };

// Writes "file:line: warning: text" (or "error") and a newline to the error
// stream, the C compiler's form. It never ends the run.
void report_at(std::string_view file, std::uint32_t line, Severity severity, std::string_view text);

// Whether report_at has reported an error since the last reset: a run that
// did ends with status 1.
bool located_error_reported();
void reset_located_errors();

}  // namespace sornik
