#pragma once

#include <string>
#include <string_view>

namespace sornik::testing {

// What the expander made of a program.
struct ExpandedProgram {
  std::string out;
  std::string err;
};

// Runs the C-mode expander over `text` as the file "t.c", with a small
// preprocessor of its own: #define and #undef lines act on the macro table
// as their line is reached, every other directive line is copied as it
// stands. `format` is the -f format, or the default rendering when empty.
ExpandedProgram expand_program(std::string_view text, std::string_view format = {});

}  // namespace sornik::testing
