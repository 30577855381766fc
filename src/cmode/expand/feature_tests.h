// The compiler's answers to feature tests, as expansion in code asks them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "cmode/lex/token.h"

namespace sornik::cmode {

class FeatureTests {
 public:
  virtual ~FeatureTests() = default;
  // The value of a test written without blanks, such as
  // "__has_builtin(__builtin_expect)": 0 for no, else the compiler's number.
  virtual std::intmax_t feature_value(std::string_view test) = 0;
  // Whether __has_include (or __has_include_next when `next`) finds the
  // header `name`, written <name> (`angled`) or "name".
  virtual bool header_found(std::string_view name, bool angled, bool next) = 0;
};

}  // namespace sornik::cmode
