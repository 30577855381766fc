// The C++ names of operators, looked up out of line: C's evaluation never
// asks for them.
#include "cmode/condition/if_operators.h"

namespace sornik::cmode::if_operators {

namespace {

struct AlternativeToken {
  std::string_view name;
  std::string_view punctuator;
};

// C++'s names of operators, which #if reads as the punctuators they spell.
constexpr AlternativeToken kAlternativeTokens[] = {
    {"and", "&&"},  {"or", "||"},     {"not", "!"},    {"bitand", "&"},  {"bitor", "|"},   {"xor", "^"},
    {"compl", "~"}, {"and_eq", "&="}, {"or_eq", "|="}, {"xor_eq", "^="}, {"not_eq", "!="},
};

}  // namespace

std::string_view alternative_operator(std::string_view name) {
  for (const AlternativeToken& alternative : kAlternativeTokens) {
    if (alternative.name == name) return alternative.punctuator;
  }
  return {};
}

const OpInfo* alternative_binary_op(std::string_view name) {
  if (!lexing_dialect().cplusplus_tokens) return nullptr;
  const std::string_view text = alternative_operator(name);
  return text.empty() ? nullptr : find_binary_op(text);
}

}  // namespace sornik::cmode::if_operators
