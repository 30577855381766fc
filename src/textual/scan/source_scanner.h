// The source scanner: where a continued line, comment, literal or bracket
// ends, and the text the scan collected (get_content).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textual/scan/line_reader.h"

namespace sornik {

// Scan results are positions in the caller's line buffer; kNotClosed is the
// null result: the construct is still open at the end of the input.
inline constexpr std::size_t kNotClosed = std::string::npos;

// The four scans: they scan `linebuf` from `startp`, reading further
// physical lines from `fp` into `linebuf` while the construct stays open, and collect the text they pass in
// the fragment list. A null `fp` reads nothing.

// The end of a logical line continued by backslash-newline: linebuf.size()
// of its last physical line.
std::size_t get_linend(LineReader* fp, std::string& linebuf, std::size_t startp);
// The "/" of the "*/" that closes the block comment opening at `startp`.
std::size_t get_commend(LineReader* fp, std::string& linebuf, std::size_t startp);
// The quote that closes the literal opening at `startp`.
std::size_t get_strend(LineReader* fp, std::string& linebuf, std::size_t startp);
// The bracket matching the "(", "<", "[" or "{" at `startp`; `startp` itself
// when no opening bracket stands there.
std::size_t get_braend(LineReader* fp, std::string& linebuf, std::size_t startp);

// The fragments of the last top-level scan joined, without the first `trim`
// bytes and the last `trim` bytes; empty when there are none. Valid until the
// next call.
std::string_view get_content(int trim);

// Forgets every fragment and scratch text (start of a run).
void reset_source_scanner();

}  // namespace sornik
