// The values of #if expressions and of the constants they hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/lex/token.h"
#include "common/located_diagnostics.h"

namespace sornik::cmode {

// A value of an #if expression: the bits of an intmax_t or a uintmax_t.
struct Value {
  std::uintmax_t bits = 0;
  bool is_unsigned = false;
};

// Which warnings about the form of an integer constant are given: the
// compiler leaves out some for a number from a system header's macro
// (Token::system_macro); those about its value stay.
struct FormWarnings {
  bool traditional = true;  // -Wtraditional's of a suffix
  bool extensions = true;   // long long before C99, binary before C2X and C++14
};

// The FormWarnings of a number token of #if (Token::system_macro): none of
// -Wtraditional where a system header's macro spelled it or holds it, no
// other where one spelled it (unless -ftrack-macro-expansion=0 places it
// at the use).
inline FormWarnings form_warnings_of(std::uint8_t system_macro) {
  return {
      .traditional = system_macro == 0,
      .extensions = (system_macro & kSpelledInSystemMacro) == 0 || !diagnostic_rules().track_macro_expansion};
}

// Reads an integer constant (decimal, octal, hexadecimal or binary, with
// the suffixes u, l, ll in any valid order). False with the C compiler's
// `error` text when the pp-number is no integer constant; values too large
// add a warning, and so do the forms that `form` asks about.
bool parse_integer(std::string_view text, Value& value, std::string& error, std::vector<Finding>& warnings,
                   FormWarnings form = {});

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
