// C's integer types at the target's widths: their ranges, conversions,
// promotions and the usual arithmetic conversions, on 128-bit values wide
// enough for every one of them.
#pragma once

#include "cmode/condition/target_widths.h"

namespace sornik::cmode {

__extension__ typedef __int128 WideValue;
__extension__ typedef unsigned __int128 WideBits;

enum class Rank : unsigned char { boolean, character, short_int, integer, long_int, long_long };

struct CType {
  Rank rank = Rank::integer;
  bool is_unsigned = false;
};

// A value of a type, within the type's range.
struct Typed {
  WideValue value = 0;
  CType type;
};

class IntegerTypes {
 public:
  explicit IntegerTypes(const TargetWidths& widths) : widths_(widths) {}

  unsigned width(CType type) const;
  WideValue max_of(CType type) const;
  WideValue min_of(CType type) const;
  // `value` converted to `type`: modulo its width for an unsigned type and,
  // as the compiler does, for a signed one it does not fit.
  Typed convert(WideValue value, CType type) const;
  // The integer promotions.
  CType promoted(CType type) const;
  // The type that the usual arithmetic conversions give two operands.
  CType common(CType a, CType b) const;
  bool char_unsigned() const { return widths_.char_unsigned; }

 private:
  const TargetWidths& widths_;
};

}  // namespace sornik::cmode
