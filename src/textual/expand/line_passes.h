// The pass loop of one line: the first pass, then re-scans of its output
// until nothing changes or three passes have run.
#pragma once

#include "textual/expand/line_expansion.h"
#include "textual/scan/line_reader.h"

namespace sornik {

// Runs the expansion passes of `expansion` over the line in ibuf, read from
// `reader`. The first pass may read further lines of an argument list; every
// later pass scans the previous pass's output from the state in which the
// line began, so that names inside expansions get groups of their own, until
// a pass changes nothing or three have run. Returns 1 when the first pass
// expanded a name (obuf then holds the marked line), else 0 (obuf holds the
// line as read). The next line starts from the state that the first pass left.
int run_line_passes(LineExpansion& expansion, LineReader& reader);

}  // namespace sornik
