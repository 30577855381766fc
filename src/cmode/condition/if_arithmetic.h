// The arithmetic of #if's binary operators on the preprocessor's widest
// integers, signed or unsigned, with what the compiler diagnoses of it.
#pragma once

#include "cmode/condition/constant_value.h"
#include "cmode/condition/if_operators.h"

namespace sornik::cmode {

// What applying one operator found, for the parser to report at its place.
struct ArithmeticFindings {
  bool overflow = false;         // a signed result that does not fit (evaluated operands only)
  bool divided_by_zero = false;  // `/` or `%` by zero (evaluated operands only)
};

// `left op right` after the usual conversions: unsigned when either operand
// is. `evaluate` is false in an operand that is not evaluated (after `0 &&`,
// a branch of `?:` not taken), where nothing is diagnosed. The comma and `?`
// are the parser's.
Value apply_binary(if_operators::Op op, Value left, Value right, bool evaluate, ArithmeticFindings& found);

// Whether the compiler warns of an operand of `op` whose sign the usual
// conversions change (== and != aside, as it has them).
bool converts_both(if_operators::Op op);

}  // namespace sornik::cmode
