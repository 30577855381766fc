// What a _Pragma operator met in expansion does besides writing its #pragma line.
#pragma once

#include <cstdint>
#include <string_view>

namespace sornik::cmode {

class PragmaActions {
 public:
  virtual ~PragmaActions() = default;
  // Acts on the pragma `text` (what follows "#pragma", the operand's string
  // destringized) as the directive would on the physical line `line`.
  virtual void pragma_operator(std::string_view text, std::uint32_t line) = 0;
};

}  // namespace sornik::cmode
