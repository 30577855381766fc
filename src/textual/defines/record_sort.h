// Sorting the define records by their names' bytes: 8-byte keys and a radix
// pass on large ranges.
#pragma once

#include <cstddef>

#include "textual/defines/define_table.h"

namespace sornik {

// Copies records 0 to count - 1 of `table`, in the order of their names'
// bytes, into a new block of page memory of `count` records (a block of
// allocate_pages_unfilled). All names must be different.
DefineEntry* sorted_records(const DefineTable& table, std::size_t count);

}  // namespace sornik
