// The compiler's answers to feature tests, as expansion in code asks them.
#pragma once

#include <cstdint>
#include <string_view>

namespace sornik::cmode {

class FeatureTests {
 public:
  virtual ~FeatureTests() = default;
  // The value of a test written without blanks, such as
  // "__has_builtin(__builtin_expect)": 0 for no, else the compiler's number.
  virtual std::intmax_t feature_value(std::string_view test) = 0;
};

}  // namespace sornik::cmode
