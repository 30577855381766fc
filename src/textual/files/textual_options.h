// The options of a run of the default mode that tests and fuzzers set: the
// fast paths they compare with the passes, and the engine's limits.
#pragma once

#include <optional>

#include "textual/replace/replace_engine.h"

namespace sornik {

struct TextualOptions {
  // Lines that need no pass are written straight from the input; off, every
  // line goes through the passes or direct expansion.
  bool stream_plain_lines = true;
  // Lines in plain code are expanded directly (expand_line_directly); off,
  // they go through the passes.
  bool expand_lines_directly = true;
  // The replacement engine's limits; nullopt takes those derived from the
  // memory of the machine.
  std::optional<ReplaceLimits> replace_limits;
};

}  // namespace sornik
