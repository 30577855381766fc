#pragma once

#include <random>
#include <string>

namespace sornik::testing {

// A random macro program for comparing C-mode expansion with the C
// compiler's preprocessor: object-like and function-like definitions (#, ##,
// variadic parameters, __VA_OPT__, the GNU comma paste, self and mutual
// references, parameters named like macros, bodies that open an argument
// list or end in a function-like name), #undef, and lines of code with uses:
// calls whose arguments are calls, calls across lines, blanks and comments
// before the parenthesis, empty and missing arguments. With `cplusplus`,
// C++'s tokens and pastes too, items that touch, and #if lines with the
// operator names, `true` and `false`.
std::string random_macro_program(std::mt19937& random, bool cplusplus = false);

}  // namespace sornik::testing
