#pragma once

#include <cstddef>
#include <string_view>

namespace sornik {

// The -f format (the command-line text itself) and whether it was given.
extern std::string_view format;
extern int format_flag;

// Renders the marker groups of the line in obuf and writes it to the output,
// every escaped byte as the byte it stands for.
void print_chgdata();

// The rendering of ibuf into obuf through `format`, one nesting level per
// pass until a pass finds no group; returns 0.
int edit_chgdata2();

// Appends the group whose start mark is at ibuf[in] to obuf as rendered
// through `format`, and leaves `in` at the group's end mark.
void format_edit(std::size_t& in);

}  // namespace sornik
