#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sornik {

// The scan state in which a source line starts, as far as the search for
// plain lines follows it.
enum class LineStart : std::uint8_t { kCode, kComment, kString, kCharacter };

// The whole lines found at the start of a text that need no pass.
struct PlainLines {
  std::size_t size = 0;                // their bytes, newlines included
  LineStart state = LineStart::kCode;  // the state in which the line after them starts
  bool cut = false;                    // the text ends inside that line, which may be plain too
};

// Finds the lines at the start of `text`, the first starting in `state`, in
// which the first pass would find no defined name in code and which it would
// thus copy unchanged. Stops before a line that holds a defined name in code,
// that is longer than 1022 bytes with its newline, that has a "*/" after its
// "//" (names there are looked up again), or that `text` does not hold whole.
PlainLines find_plain_lines(std::string_view text, LineStart state);

}  // namespace sornik
