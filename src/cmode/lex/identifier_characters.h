// The characters beyond ASCII that identifiers may hold, by the table the
// dialect checks them against.
#pragma once

#include <cstdint>

namespace sornik::cmode {

// The tables the C compiler checks an identifier's characters against.
// Without -pedantic it takes any character one of them allows (`any`);
// under -pedantic C99 and gnu99 check C99's own table, the later C
// standards C11's, and every C++ standard Unicode's XID_Start and
// XID_Continue (the compiler applies C++23's rule to all of them).
enum class IdentifierTable : std::uint8_t { any, c11, c99, unicode };

// The table of this thread's lexing dialect under its diagnostic rules.
IdentifierTable identifier_table();

// Whether `table` allows the character in an identifier, and at its start.
bool allowed_in_identifier(char32_t code, IdentifierTable table);
bool allowed_at_identifier_start(char32_t code, IdentifierTable table);

}  // namespace sornik::cmode
