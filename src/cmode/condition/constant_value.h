// The values of #if expressions and of the constants they hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/located_diagnostics.h"

namespace sornik::cmode {

// A value of an #if expression: the bits of an intmax_t or a uintmax_t.
struct Value {
  std::uintmax_t bits = 0;
  bool is_unsigned = false;
};

// Reads an integer constant (decimal, octal, hexadecimal or binary, with
// the suffixes u, l, ll in any valid order). False with the C compiler's
// `error` text when the pp-number is no integer constant; values too large
// add a warning.
bool parse_integer(std::string_view text, Value& value, std::string& error, std::vector<Finding>& warnings);

// Reads a character constant with its prefix (none, L, u, U) as the C
// compiler on this machine does: plain char is signed, wchar_t is a signed
// 32-bit int, a multi-character constant packs its bytes.
bool parse_char_constant(std::string_view text, Value& value, std::string& error,
                         std::vector<Finding>& warnings);

// Reads a floating constant (decimal, or hexadecimal with its binary
// exponent; the suffix f, l or none) rounded to the type its suffix gives.
// False for any other text, and for a value out of that type's range.
bool parse_floating(std::string_view text, long double& value);

}  // namespace sornik::cmode
