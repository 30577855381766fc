#pragma once

#include <cstddef>
#include <string_view>

namespace sornik {

// The -f format (the command-line text itself) and whether it was given.
extern std::string_view format;
extern int format_flag;

// Renders the marker groups of the line in obuf and writes it to the output.
void print_chgdata();

// The default rendering of ibuf into obuf ("$n`$x'"); returns 0.
int edit_chgdata1();

// The rendering of ibuf into obuf through `format`, pass after pass; returns 0.
int edit_chgdata2();

// Renders the group whose start mark is at ibuf[in] through `format` into
// obuf at `out`; leaves `in` at its end mark and `out` after the text written,
// and returns `count` plus the bytes written.
int format_edit(std::size_t& in, std::size_t& out, int count);

}  // namespace sornik
