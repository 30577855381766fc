// The widths of the target's integer types, as the compiler's predefined
// macros tell them.
#pragma once

#include "cmode/macro/macro_table.h"

namespace sornik::cmode {

// The widths of the target's integer types, in bits.
struct TargetWidths {
  unsigned char_bits = 8;
  unsigned short_bits = 16;
  unsigned int_bits = 32;
  unsigned long_bits = 64;
  unsigned long_long_bits = 64;
  bool char_unsigned = false;

  // As the compiler's predefined macros (__SIZEOF_INT__, __CHAR_UNSIGNED__,
  // ...) in `table` say; a width no macro tells keeps its value above.
  static TargetWidths of(const MacroTable& table);
};

}  // namespace sornik::cmode
