// The search for plain lines: whole lines of a source block that need no
// pass, found with byte masks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "textual/defines/define_table.h"

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

// A use in those lines of a define whose value a use writes as it is: the
// line is printed with the rendering of the value after the name.
struct PlainUse {
  std::size_t name_end;    // where the name ends in the text
  std::string_view value;  // the define's value
};

// Finds the lines at the start of `text`, the first starting in `state`, in
// which the first pass would find no name defined in `table` in code and which it would
// thus copy unchanged. Stops before a line that holds a defined name in code,
// that is longer than 1022 bytes with its newline, that has a "*/" after its
// "//" (names there are looked up again), or that `text` does not hold whole.
// With `uses`, a line whose defined names in code are all uses of defines
// with a plain value (has_plain_value) is found too, and `uses` lists them;
// a function-like define's name not directly followed by an opening bracket
// is no use in any case.
PlainLines find_plain_lines(DefineTable& table, std::string_view text, LineStart state,
                            std::vector<PlainUse>* uses = nullptr);

}  // namespace sornik
