#pragma once

#include <cstddef>
#include <string_view>

#include "expand/code_window.h"
#include "scan/line_reader.h"

namespace sornik {

// Sets the scan state for the first line of a source file: outside any
// comment or literal.
void start_scan_state();

// Runs the expansion passes over the line in ibuf, read from `reader`. The
// first pass may read further lines of an argument list; every later pass
// scans the previous pass's output from the state in which the line began,
// so that names inside expansions get groups of their own, until a pass
// changes nothing or three have run. Returns 1 when the first pass expanded
// a name (obuf then holds the marked line), else 0 (obuf holds the line as
// read). The next line starts from the state that the first pass left.
int run_line_passes(LineReader& reader);

// Whether the source line `line` needs no pass: the first pass would find no
// defined name in code and leave the line as it is. Then the scan state is
// left as that pass would leave it; otherwise it is kept. `masks` describes
// the line's bytes from `base` on.
bool line_needs_no_pass(std::string_view line, const CodeMasks& masks, std::size_t base);

}  // namespace sornik
