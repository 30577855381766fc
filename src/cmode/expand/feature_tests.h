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
  // Whether the header that the operand of __has_include (`next` false) or
  // __has_include_next names is found, macros expanded where it is no name
  // as written; a wrong operand leaves `error` set.
  virtual bool has_include(std::span<const Token> operand, bool next, std::string& error) = 0;
};

}  // namespace sornik::cmode
