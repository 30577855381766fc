// The arithmetic of #if's binary operators: two's complement on the widest
// integers, with signed overflow and division by zero found, not trapped.
#include "cmode/condition/if_arithmetic.h"

#include <cstdint>
#include <limits>

namespace sornik::cmode {

namespace {

using if_operators::Op;

Value int_value(bool truth) { return {truth ? 1u : 0u, false}; }

std::intmax_t as_signed(std::uintmax_t bits) { return static_cast<std::intmax_t>(bits); }

Value divide(bool quotient, Value left, Value right, bool evaluate, ArithmeticFindings& found) {
  const bool is_unsigned = left.is_unsigned || right.is_unsigned;
  if (right.bits == 0) {
    found.divided_by_zero = evaluate;
    return {0, is_unsigned};
  }
  if (is_unsigned) return {quotient ? left.bits / right.bits : left.bits % right.bits, true};
  if (as_signed(left.bits) == std::numeric_limits<std::intmax_t>::min() && as_signed(right.bits) == -1) {
    found.overflow = quotient && evaluate;
    return {quotient ? left.bits : 0, false};
  }
  const std::intmax_t a = as_signed(left.bits);
  const std::intmax_t b = as_signed(right.bits);
  return {static_cast<std::uintmax_t>(quotient ? a / b : a % b), false};
}

// Shifts keep the type of the left operand; a negative count shifts the
// other way, and a count of the width or more shifts everything out.
Value shift(bool left_shift, Value value, Value count, bool evaluate, ArithmeticFindings& found) {
  std::uintmax_t n = count.bits;
  if (!count.is_unsigned && as_signed(count.bits) < 0) {
    left_shift = !left_shift;
    n = 0 - count.bits;
  }
  const bool negative = !value.is_unsigned && as_signed(value.bits) < 0;
  if (!left_shift) {
    if (n >= 64) return {negative ? ~std::uintmax_t{0} : 0, value.is_unsigned};
    if (negative) return {static_cast<std::uintmax_t>(as_signed(value.bits) >> n), false};
    return {value.bits >> n, value.is_unsigned};
  }
  if (n >= 64) {
    found.overflow = evaluate && !value.is_unsigned && value.bits != 0;
    return {0, value.is_unsigned};
  }
  const std::uintmax_t shifted = value.bits << n;
  found.overflow = evaluate && !value.is_unsigned && (as_signed(shifted) >> n) != as_signed(value.bits);
  return {shifted, value.is_unsigned};
}

}  // namespace

Value apply_binary(Op op, Value left, Value right, bool evaluate, ArithmeticFindings& found) {
  const bool is_unsigned = left.is_unsigned || right.is_unsigned;
  const std::uintmax_t a = left.bits;
  const std::uintmax_t b = right.bits;
  const bool signed_evaluation = evaluate && !is_unsigned;
  switch (op) {
    case Op::logical_or: return int_value(a != 0 || b != 0);
    case Op::logical_and: return int_value(a != 0 && b != 0);
    case Op::bit_or: return {a | b, is_unsigned};
    case Op::bit_xor: return {a ^ b, is_unsigned};
    case Op::bit_and: return {a & b, is_unsigned};
    case Op::equal: return int_value(a == b);
    case Op::not_equal: return int_value(a != b);
    case Op::less: return int_value(is_unsigned ? a < b : as_signed(a) < as_signed(b));
    case Op::greater: return int_value(is_unsigned ? a > b : as_signed(a) > as_signed(b));
    case Op::less_equal: return int_value(is_unsigned ? a <= b : as_signed(a) <= as_signed(b));
    case Op::greater_equal: return int_value(is_unsigned ? a >= b : as_signed(a) >= as_signed(b));
    case Op::shift_left:
    case Op::shift_right: return shift(op == Op::shift_left, left, right, evaluate, found);
    case Op::plus: {
      const std::uintmax_t sum = a + b;
      found.overflow = signed_evaluation && ((as_signed(a) < 0) == (as_signed(b) < 0)) &&
                       ((as_signed(sum) < 0) != (as_signed(a) < 0));
      return {sum, is_unsigned};
    }
    case Op::minus: {
      const std::uintmax_t difference = a - b;
      found.overflow = signed_evaluation && ((as_signed(a) < 0) != (as_signed(b) < 0)) &&
                       ((as_signed(difference) < 0) != (as_signed(a) < 0));
      return {difference, is_unsigned};
    }
    case Op::times: {
      std::intmax_t product = 0;
      found.overflow = signed_evaluation && __builtin_mul_overflow(as_signed(a), as_signed(b), &product);
      return {a * b, is_unsigned};
    }
    case Op::divide:
    case Op::remainder: return divide(op == Op::divide, left, right, evaluate, found);
    default: return {};
  }
}

bool converts_both(Op op) {
  switch (op) {
    case Op::bit_or:
    case Op::bit_xor:
    case Op::bit_and:
    case Op::less:
    case Op::greater:
    case Op::less_equal:
    case Op::greater_equal:
    case Op::plus:
    case Op::minus:
    case Op::times:
    case Op::divide:
    case Op::remainder: return true;
    default: return false;
  }
}

}  // namespace sornik::cmode
