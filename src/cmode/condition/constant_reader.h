// The values of final texts that are integer constant expressions, with C's
// types at the target's widths.
#pragma once

#include <string_view>
#include <vector>

#include "cmode/condition/target_widths.h"
#include "cmode/lex/token.h"
#include "render/use_facts.h"

namespace sornik::cmode {

// Reads a text as a C compiler reads an integer constant expression:
// integer and character constants with the types their form and suffix
// give, every operator but assignments, increments and the comma (which is
// allowed where it is not evaluated), casts to the standard integer types
// and to the <stdint.h> exact-width names. The usual arithmetic conversions
// apply; a signed overflow, a division by zero, a shift by a negative count
// or by the width or more, and a left shift of a negative value make the
// text no constant where they are evaluated. A floating constant counts
// only as the operand of a cast; any identifier besides the type names, a
// string or sizeof makes the text none.
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
