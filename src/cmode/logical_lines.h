#pragma once

#include <cstddef>
#include <string_view>

namespace sornik::cmode {

// Where a logical line ends: lines are joined at splices, a block comment
// carries the line on across newlines, and a string literal or character
// constant ends at the latest with its line.
struct LineEnd {
  // Just after the newline that ends the line, or text.size().
  std::size_t end = 0;
  // False when the text ended inside the line: more text may complete it.
  bool complete = false;
};

// Finds the end of the logical line that starts at `pos`.
LineEnd logical_line_end(std::string_view text, std::size_t pos);

// The offset of the first token of a logical line: white space, splices
// and comments skipped; line.size() when the line holds no token.
std::size_t first_token(std::string_view line);

// Whether the logical line `line` is a directive: its first token is `#` or
// `%:`.
bool is_directive_line(std::string_view line);

}  // namespace sornik::cmode
