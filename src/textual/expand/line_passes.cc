// The pass loop of one line: the first pass, then re-scans of its output
// until nothing changes or three passes have run.
#include "textual/expand/line_passes.h"

#include "textual/expand/line_expansion.h"
#include "textual/scan/line_buffers.h"

namespace sornik {

namespace {

constexpr int kMostPasses = 3;

struct ScanState {
  int comm;
  int str;
  int print;
};

ScanState current_state() { return {comm_flag, str_flag, print_f}; }

void restore_state(const ScanState& state) {
  comm_flag = state.comm;
  str_flag = state.str;
  print_f = state.print;
}

}  // namespace

void start_scan_state() { restore_state({0, 0, 1}); }

int run_line_passes(LineReader& reader) {
  const ScanState line_start = current_state();
  if (edit_line(&reader) == 0) return 0;
  const ScanState after_first_pass = current_state();
  // A pass that changes nothing ends the passes: the next one would scan the
  // same text from the same state with the same table.
  for (int pass = 2; pass <= kMostPasses; ++pass) {
    copy_obuf_to_ibuf();
    restore_state(line_start);
    if (edit_line(nullptr) == 0) break;
  }
  restore_state(after_first_pass);
  return 1;
}

}  // namespace sornik
