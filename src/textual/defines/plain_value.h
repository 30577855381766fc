// Whether a use of a define in code expands to its value and nothing more.
#pragma once

#include "textual/defines/define_table.h"

namespace sornik {

// Whether a use of `entry` in code expands to its value and nothing more: an
// object-like define whose value, scanned again in code, changes no state
// and names nothing defined. Such a value holds no quote, backslash, "//",
// "/*" or "*/", no NUL, mark byte (0x01 to 0x04) or byte from 0x80 on, and is
// not empty. The answer is kept in the entry of `table`, which must be sorted.
bool has_plain_value(const DefineTable& table, DefineEntry& entry);

}  // namespace sornik
