// The listing of every macro of a table as the C compiler lists them.
#pragma once

#include <string_view>

#include "cmode/macro/macro_table.h"

namespace sornik::cmode {

// Hands `write` the listing of every macro of `table` sorted by name, bytes
// compared as unsigned (the order of the C compiler's listing), one
// "#define" line each, in blocks of about 64 KiB. The table is left empty:
// the sort runs in its slot memory and each macro is given back once it is
// listed, while it is still in the cache.
void list_macros(MacroTable& table, void (*write)(std::string_view));

}  // namespace sornik::cmode
