// Direct expansion: a line in plain code expanded once, recursively, straight
// into the default form, where that is provably what the passes would write.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "textual/expand/line_expansion.h"
#include "textual/replace/replace_engine.h"

namespace sornik {

// A line expanded directly: its text, valid until the next line, and
// whether it held a use.
struct DirectLine {
  std::string_view text;
  bool expanded;
};

// Direct expansion of the lines of a run, with the defines' bodies it has
// cut for substitution.
class DirectExpansion {
 public:
  // Names are looked up in `table`; substitutions stay within the engine's `limits`.
  DirectExpansion(const DefineTable& table, const ReplaceLimits& limits);
  ~DirectExpansion();
  DirectExpansion(const DirectExpansion&) = delete;
  DirectExpansion& operator=(const DirectExpansion&) = delete;

  // Expands a source line that starts in plain code (`state`) straight into
  // the default rendering (the caller's to take only under that rendering):
  // each use once, its expansion expanded again down to the third level, as
  // the three passes and the renderer would write it. Taken only where that is provably the
  // same: the line, and every expansion text that a later pass would scan,
  // hold no quote, comment opener, backslash, "$", NUL, mark byte or lead
  // byte; the line does not begin with "#"; every list closes on its line
  // and every call is one that substitute_words takes. nullopt when the line
  // must go through the passes (nothing has been read or written then).
  std::optional<DirectLine> expand_line_directly(const ScanState& state, std::string_view line);

 private:
  struct Expander;
  std::unique_ptr<Expander> expander_;
};

}  // namespace sornik
