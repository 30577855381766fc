// Value resolution: the values of object-like defines rewritten with the
// values of the names they hold, after the definition files are read.
#pragma once

#include <cstddef>
#include <string_view>

#include "textual/defines/define_table.h"
#include "textual/scan/line_buffers.h"

namespace sornik {

// Cuts, from `pos` in `text`, the separator (bytes up to a quote, a
// backslash or a word byte) and the word that follows it (digits, ASCII
// letters and "_"), each at most 1024 bytes. Both results are slices of
// `text`; returns the position after the word.
std::size_t get_word(std::string_view text, std::size_t pos, std::string_view& word,
                     std::string_view& separator);

// Rewrites every define value of `table` through the object-like defines it
// names, building each new value in the obuf of `buffers`. Returns 0, or -1 after
// "no end loop\n" when the growth budget ran out.
int set_value(DefineTable& table, LineBuffers& buffers);

}  // namespace sornik
