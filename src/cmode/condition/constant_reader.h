// The values of final texts that are integer constant expressions, with C's
// types at the target's widths.
#pragma once

#include <string_view>
#include <vector>

#include "cmode/lex/token.h"
#include "cmode/macro/macro_table.h"
#include "render/use_facts.h"

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

// Reads a text as a C compiler reads an integer constant expression:
// integer and character constants with the types their form and suffix
// give, every operator but assignments, increments and the comma (which is
// allowed where it is not evaluated), casts to the standard integer types
// and to the <stdint.h> exact-width names. The usual arithmetic conversions
// apply; a signed overflow, a division by zero, a shift by a negative count
// or by the width or more, and a left shift of a negative value make the
// text no constant where they are evaluated. Any identifier besides those
// type names, a floating constant, a string or sizeof makes it none.
class ConstantReader final : public ValueReader {
 public:
  explicit ConstantReader(const TargetWidths& widths) : widths_(widths) {}

  bool read(std::string_view text, IntegerValue& value) override;

 private:
  TargetWidths widths_;
  Lexer lexer_;
  std::vector<Token> tokens_;
};

}  // namespace sornik::cmode
