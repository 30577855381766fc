#pragma once

#include <string_view>

#include "cmode/macro_table.h"
#include "services/page_memory.h"

namespace sornik::cmode {

// The macros of `table` sorted by name, bytes compared as unsigned (the
// order of the C compiler's listing).
PageArray<const Macro*> macros_by_name(const MacroTable& table);

// Hands `write` the listing of every macro of `table` sorted by name, one
// "#define" line each, in blocks of about 64 KiB.
void list_macros(const MacroTable& table, void (*write)(std::string_view));

}  // namespace sornik::cmode
