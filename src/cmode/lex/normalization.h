// Whether an identifier or a number is written in Unicode's normalization
// form C (or KC), checked character by character as the C compiler checks
// it for -Wnormalized=.
#pragma once

#include <string>
#include <string_view>

#include "cmode/lex/dialect.h"
#include "cmode/lex/token.h"
#include "common/located_diagnostics.h"

namespace sornik::cmode {

// The strictest form that `utf8` (a token's text with its universal
// character names written in UTF-8) keeps to, as the compiler judges it:
// each character alone, and each with the one before it. NormalForm::none
// when it is not even in NFC; NormalForm::id for a text outside NFC only by
// characters whose NFC would leave an identifier (U+212A KELVIN SIGN is K)
// or by Hangul jamo that compose into a syllable. Characters that the
// dialect's table allows in no identifier are left out: the compiler
// reports them as such.
NormalForm normal_form_of(std::string_view utf8);

// The compiler's -Wnormalized= warning for an identifier or a number whose
// characters are outside the form that `asked` names ("`A\U00000300' is not
// in NFC"); empty when there is none. An identifier is named as the
// compiler names it (each character beyond ASCII as \UXXXXXXXX), a number
// as written.
std::string normalization_warning(std::string_view text, TokenKind kind, NormalForm asked);

// How the warning is given: C++ makes it a pedwarn, an error under
// -pedantic-errors.
inline Severity normalization_severity() {
  return lexing_dialect().cplusplus ? Severity::pedwarn : Severity::warning;
}

}  // namespace sornik::cmode
