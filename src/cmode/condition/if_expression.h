// The evaluation of #if expressions and what it asks of the preprocessor.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/lex/token.h"
#include "common/located_diagnostics.h"

namespace sornik::cmode {

// What an #if expression asks of the preprocessor.
class ConditionContext {
 public:
  virtual ~ConditionContext() = default;
  // Whether `name` is a defined macro.
  virtual bool is_defined(std::string_view name) = 0;
  // The tokens of an operand of __has_include with macros expanded as in
  // #if (the operands of its operators left as written), into `out`.
  virtual void expand_operand(std::span<const Token> written, std::vector<Token>& out) = 0;
  // Whether __has_include (or __has_include_next when `next`) finds the
  // header `name`, written <name> (`angled`) or "name".
  virtual bool header_found(std::string_view name, bool angled, bool next) = 0;
  // The value of a feature test of the compiler such as
  // "__has_attribute(unused)", written without blanks: 0 for no, else
  // whatever the compiler gives (1, or a date such as 202003).
  virtual std::intmax_t has_feature(std::string_view test) = 0;

  // -Wundef: a name that counts as 0 is warned of.
  bool warn_undefined_names = false;
};

// The outcome of an #if or #elif.
struct Condition {
  bool value = false;
  // The C compiler's text of the error that made the condition false; empty
  // when there was none.
  std::string error;
  std::uint32_t error_at = 0;  // where the error points (Token::begin, or kAtLineEnd)
  std::vector<Finding> warnings;
};

// Evaluates the macro-expanded tokens of an #if as C does: intmax_t and
// uintmax_t arithmetic, every operator, `defined`, character constants,
// identifiers that remain count as 0. A division by zero is a warning and
// makes the condition false. Diagnostics point at the token where the fault
// is found, by its `begin`.
Condition evaluate_condition(std::span<const Token> tokens, ConditionContext& context);

}  // namespace sornik::cmode
