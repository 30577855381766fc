// What a _Pragma operator met in expansion does besides writing its #pragma line, and where it acts.
#pragma once

#include <cstdint>
#include <string_view>

namespace sornik::cmode {

// What a run of tokens is expanded as a whole for: code (a header's code
// lines, whose _Pragma operators act), an #if expression, the operand of
// another directive (where _Pragma stays a name, as in the C compiler), or
// a header name that macros make (in #include or __has_include).
enum class ExpandedFor : std::uint8_t { code, condition, directive, header_name };

class PragmaActions {
 public:
  virtual ~PragmaActions() = default;
  // Acts on the pragma `text` (what follows "#pragma", the operand's string
  // destringized) as the directive would on the physical line `line`.
  // Returns whether the pragma is one the preprocessor does itself: the
  // compiler's output then keeps no line for it.
  virtual bool pragma_operator(std::string_view text, std::uint32_t line) = 0;
};

}  // namespace sornik::cmode
