// Where a call's bracketed argument list closes, counted a block at a time
// when no quote or slash comes first.
#pragma once

#include <cstddef>
#include <string_view>

#include "textual/scan/source_scanner.h"

namespace sornik {

// Whether `c` opens an argument list: "(", "[", "{" or "<".
inline bool is_open_bracket(char c) { return c == '(' || c == '[' || c == '{' || c == '<'; }

// close_by_brackets found a quote or a slash before the close.
inline constexpr std::size_t kUndecided = kNotClosed - 1;

// Where the list that opens `region` (its first byte, an opening bracket)
// closes when counting its kind of bracket finds the close before any quote
// or slash; kNotClosed when the region ends first without one; kUndecided
// when a quote or a slash comes first, and only the scanner, which steps
// over literals and comments, can tell.
std::size_t close_by_brackets(std::string_view region);

}  // namespace sornik
