// The pass loop of one line: the first pass, then re-scans of its output
// until nothing changes or three passes have run.
#include "textual/expand/line_passes.h"

namespace sornik {

namespace {

constexpr int kMostPasses = 3;

}  // namespace

int run_line_passes(LineExpansion& expansion, LineReader& reader) {
  const ScanState line_start = expansion.state;
  if (expansion.edit_line(&reader) == 0) return 0;
  const ScanState after_first_pass = expansion.state;
  // A pass that changes nothing ends the passes: the next one would scan the
  // same text from the same state with the same table.
  for (int pass = 2; pass <= kMostPasses; ++pass) {
    expansion.buffers().copy_obuf_to_ibuf();
    expansion.state = line_start;
    if (expansion.edit_line(nullptr) == 0) break;
  }
  expansion.state = after_first_pass;
  return 1;
}

}  // namespace sornik
