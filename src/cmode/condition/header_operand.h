// The operand of __has_include and __has_include_next in #if, read as the C
// compiler reads it: a header name as written, or one that macros make.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/condition/if_expression.h"

namespace sornik::cmode {

// What reading one operand gives: the answer, the errors met on the way
// (none of them ends the expression), and the tokens that follow the
// operand, for the expression to read on.
struct HeaderTest {
  bool found = false;
  std::vector<Finding> errors;
  std::vector<Token> rest;
};

// Reads the operand of `op` (__has_include, or __has_include_next when
// `next`) from `after`, the tokens after the operator: those of its
// parenthesized group as written (the expression's expansion leaves them),
// and the expanded ones after it. A `"name"` or a `<`...`>` as written is
// the name; anything else is expanded first, and the name is then the
// string or the tokens from `<` to `>` it begins with. Then the `)` must
// come. Text that expansion made is kept in `texts`, which the tokens of
// `rest` point into.
HeaderTest read_header_test(std::string_view op, bool next, std::span<const Token> after,
                            ConditionContext& context, std::vector<std::unique_ptr<std::string>>& texts);

}  // namespace sornik::cmode
