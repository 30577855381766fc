// The operators of #if expressions: the binary operators with their
// precedence, and the C++ names of operators that #if reads as punctuators.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "cmode/lex/dialect.h"
#include "cmode/lex/token.h"

namespace sornik::cmode::if_operators {

enum class Op : std::uint8_t {
  none,
  comma,
  question,
  logical_or,
  logical_and,
  bit_or,
  bit_xor,
  bit_and,
  equal,
  not_equal,
  less,
  greater,
  less_equal,
  greater_equal,
  shift_left,
  shift_right,
  plus,
  minus,
  times,
  divide,
  remainder,
};

struct OpInfo {
  std::string_view text;
  Op op;
  int precedence;
};

inline constexpr OpInfo kBinaryOps[] = {
    {",", Op::comma, 1},          {"?", Op::question, 2},     {"||", Op::logical_or, 3},
    {"&&", Op::logical_and, 4},   {"|", Op::bit_or, 5},       {"^", Op::bit_xor, 6},
    {"&", Op::bit_and, 7},        {"==", Op::equal, 8},       {"!=", Op::not_equal, 8},
    {"<", Op::less, 9},           {">", Op::greater, 9},      {"<=", Op::less_equal, 9},
    {">=", Op::greater_equal, 9}, {"<<", Op::shift_left, 10}, {">>", Op::shift_right, 10},
    {"+", Op::plus, 11},          {"-", Op::minus, 11},       {"*", Op::times, 12},
    {"/", Op::divide, 12},        {"%", Op::remainder, 12},
};

// For each byte, 1 + the index of the first operator that begins with it;
// 0 when none does.
inline constexpr std::array<std::uint8_t, 256> kFirstOpByByte = [] {
  std::array<std::uint8_t, 256> first{};
  for (std::size_t i = std::size(kBinaryOps); i-- > 0;)
    first[static_cast<unsigned char>(kBinaryOps[i].text.front())] = static_cast<std::uint8_t>(i + 1);
  return first;
}();

// The punctuator that an identifier spells in C++ as an alternative token;
// empty for any other identifier. Out of line: only C++ asks.
std::string_view alternative_operator(std::string_view name);

// The operator that a token spells: a punctuator's text, or in C++ the
// punctuator that an alternative token names; empty for any other token.
inline std::string_view spelled_operator(const Token& token) {
  if (token.kind == TokenKind::punctuator) return token.text;
  if (token.kind == TokenKind::identifier && lexing_dialect().cplusplus_tokens)
    return alternative_operator(token.text);
  return {};
}

[[gnu::always_inline]] inline const OpInfo* find_binary_op(std::string_view text) {
  const std::size_t first = kFirstOpByByte[static_cast<unsigned char>(text.front())];
  if (first == 0) return nullptr;
  for (std::size_t i = first - 1; i < std::size(kBinaryOps); ++i) {
    if (kBinaryOps[i].text == text) return &kBinaryOps[i];
  }
  return nullptr;
}

// The binary operator that an identifier spells in C++, if any. Out of line
// like alternative_operator.
const OpInfo* alternative_binary_op(std::string_view name);

// The binary operator that a token is or spells, if any.
inline const OpInfo* binary_op(const Token& token) {
  if (token.kind == TokenKind::punctuator) return find_binary_op(token.text);
  return token.kind == TokenKind::identifier ? alternative_binary_op(token.text) : nullptr;
}

}  // namespace sornik::cmode::if_operators
