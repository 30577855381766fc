// GCC's assertions: the answers of #assert and #unassert, and their test in
// #if (`#predicate` or `#predicate(answer)`).
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/lex/token.h"
#include "common/located_diagnostics.h"

namespace sornik::cmode {

class MacroTable;

// An assertion as written after #assert, #unassert or the `#` of #if.
struct AssertionForm {
  std::string_view predicate;
  bool has_answer = false;
  // The answer's tokens apart by one kind of separator where white space
  // stood between two and by another where none did: answers that differ
  // only in the amount of white space are the same.
  std::string answer;
  // The index of the first token after the assertion.
  std::size_t end = 0;
};

class Assertions {
 public:
  // Keeps only what the compiler asserts of the target itself, as its
  // predefined macros in `table` tell: #system(linux), #cpu(x86_64), ...
  void reset(const MacroTable& table);

  // Reads the assertion whose predicate is tokens[pos]: the predicate, and
  // an answer in parentheses when `(` follows. The compiler's error text, or
  // empty when the form is sound.
  static std::string read(std::span<const Token> tokens, std::size_t pos, AssertionForm& form);

  void add(const AssertionForm& form);
  // Drops the answer of `form`, or every answer of its predicate.
  void remove(const AssertionForm& form);
  // Whether the answer is asserted, or without one any answer of the predicate.
  bool holds(const AssertionForm& form) const;

  // Copies an #if line's tokens to `out` with each assertion test in them
  // replaced by the number 1 or 0, warning of each in `findings` when
  // `warn` (the compiler does not for an #elif after a group not taken).
  // False, with the error last in `findings`, when one is malformed.
  bool resolve(std::span<const Token> tokens, std::vector<Token>& out, std::vector<Finding>& findings,
               bool warn) const;

  // Whether an #if line holds a `#`: an assertion test to resolve (rare).
  static bool tested_in(std::span<const Token> tokens) {
    for (const Token& token : tokens)
      if (token.kind == TokenKind::punctuator && (token.text == "#" || token.text == "%:")) return true;
    return false;
  }

 private:
  std::map<std::string, std::set<std::string>, std::less<>> answers_;
};

}  // namespace sornik::cmode
