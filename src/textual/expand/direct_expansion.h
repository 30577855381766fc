// Direct expansion: a line in plain code expanded once, recursively, straight
// into the default form, where that is provably what the passes would write.
#pragma once

#include <optional>
#include <string_view>

namespace sornik {

// Whether lines may be expanded directly (on by default). Tests and fuzzers
// turn it off to compare with what the passes make of every line.
extern bool expand_lines_directly;

// A line expanded directly: its text, valid until the next line, and
// whether it held a use.
struct DirectLine {
  std::string_view text;
  bool expanded;
};

// Expands a source line that starts in plain code, with the switch above
// on, straight into the default rendering (the caller's to take only under
// that rendering):
// each use once, its expansion expanded again down to the third level, as
// the three passes and the renderer would write it. Taken only where that
// is provably the same: the line, and every expansion text that a later
// pass would scan, hold no quote, comment opener, backslash, "$", NUL, mark
// byte or lead byte; the line does not begin with "#"; every list closes on
// its line and every call is one that substitute_words takes. nullopt when
// the line must go through the passes (nothing has been read or written
// then).
std::optional<DirectLine> expand_line_directly(std::string_view line);

// Forgets what was kept of the last run's defines (start of a run).
void reset_direct_expansion();

}  // namespace sornik
