// The state of one run of the default mode: what it reads, expands and
// keeps from line to line, all made when the run starts and gone when it ends.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "render/renderer.h"
#include "textual/defines/define_table.h"
#include "textual/expand/argument_substitution.h"
#include "textual/expand/direct_expansion.h"
#include "textual/expand/line_expansion.h"
#include "textual/files/plain_lines.h"
#include "textual/files/textual_options.h"
#include "textual/scan/line_buffers.h"
#include "textual/scan/source_scanner.h"

namespace sornik {

struct TextualRun {
  // A run with `run_options` that renders uses through `format`, or in the
  // default form without one.
  TextualRun(const TextualOptions& run_options, std::optional<std::string_view> format)
      : options(run_options), renderer(format ? Renderer(*format) : Renderer()) {}
  TextualRun(const TextualRun&) = delete;
  TextualRun& operator=(const TextualRun&) = delete;

  TextualOptions options;
  Renderer renderer;
  DefineTable defines;
  SourceScanner scanner;
  LineBuffers buffers;
  ArgumentSubstitution substitution{options.replace_limits};
  LineExpansion expansion{defines, scanner, buffers, substitution};
  DirectExpansion direct{defines, substitution.limits()};
  // The uses of plain values in the lines found last; kept for its storage.
  std::vector<PlainUse> plain_uses;
};

}  // namespace sornik
