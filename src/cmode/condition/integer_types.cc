// The ranges and conversions of C's integer types at the target's widths.
#include "cmode/condition/integer_types.h"

namespace sornik::cmode {

unsigned IntegerTypes::width(CType type) const {
  switch (type.rank) {
    case Rank::boolean: return 1;
    case Rank::character: return widths_.char_bits;
    case Rank::short_int: return widths_.short_bits;
    case Rank::integer: return widths_.int_bits;
    case Rank::long_int: return widths_.long_bits;
    case Rank::long_long: return widths_.long_long_bits;
  }
  return widths_.int_bits;
}

WideValue IntegerTypes::max_of(CType type) const {
  const unsigned bits = width(type);
  return type.is_unsigned ? (WideValue{1} << bits) - 1 : (WideValue{1} << (bits - 1)) - 1;
}

WideValue IntegerTypes::min_of(CType type) const {
  return type.is_unsigned ? 0 : -(WideValue{1} << (width(type) - 1));
}

Typed IntegerTypes::convert(WideValue value, CType type) const {
  if (type.rank == Rank::boolean) return {value != 0 ? 1 : 0, type};
  const unsigned bits = width(type);
  const WideBits mask = (WideBits{1} << bits) - 1;
  auto low = static_cast<WideBits>(value) & mask;
  if (!type.is_unsigned && low > static_cast<WideBits>(max_of(type)))
    return {static_cast<WideValue>(low) - (WideValue{1} << bits), type};
  return {static_cast<WideValue>(low), type};
}

CType IntegerTypes::promoted(CType type) const {
  if (type.rank >= Rank::integer) return type;
  const bool fits_int = type.is_unsigned ? width(type) < widths_.int_bits : width(type) <= widths_.int_bits;
  return {Rank::integer, !fits_int};
}

CType IntegerTypes::common(CType a, CType b) const {
  a = promoted(a);
  b = promoted(b);
  if (a.is_unsigned == b.is_unsigned) return a.rank >= b.rank ? a : b;
  const CType unsigned_one = a.is_unsigned ? a : b;
  const CType signed_one = a.is_unsigned ? b : a;
  if (unsigned_one.rank >= signed_one.rank) return unsigned_one;
  if (width(signed_one) > width(unsigned_one)) return signed_one;
  return {signed_one.rank, true};
}

}  // namespace sornik::cmode
