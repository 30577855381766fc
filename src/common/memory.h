// Memory that cannot be had: the message that ends the run, and how large
// one built text may grow.
#pragma once

#include <cstddef>

namespace sornik {

// The most bytes a table of the default mode may count: the largest int.
inline constexpr int terminate_size = 2147483647;

// Reports that a block of `size` bytes cannot be had ("cannot get the memory
// of N bytes", in K bytes above 1000) and ends the run.
[[noreturn]] void memory_exhausted(std::size_t size);

// The most bytes that one text the program builds may take: a quarter of the
// physical memory, so that the text and the copies made of it fit, and no
// more than 4 GiB.
std::size_t largest_text_size();

}  // namespace sornik
