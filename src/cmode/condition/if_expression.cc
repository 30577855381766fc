// The evaluator of #if expressions: a precedence climber over the expanded tokens.
#include "cmode/condition/if_expression.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "cmode/condition/constant_value.h"
#include "cmode/condition/header_operand.h"
#include "cmode/condition/if_arithmetic.h"
#include "cmode/condition/if_operators.h"
#include "cmode/lex/dialect.h"

namespace sornik::cmode {

namespace {

using namespace if_operators;

// Parentheses and unary operators nest at most this deep; deeper input is an
// error rather than a deep recursion.
constexpr int kMaxNesting = 2000;

Value int_value(bool truth) { return {truth ? 1u : 0u, false}; }

std::intmax_t as_signed(std::uintmax_t bits) { return static_cast<std::intmax_t>(bits); }

class ConditionParser {
 public:
  ConditionParser(std::span<const Token> tokens, ConditionContext& context, Condition& result)
      : tokens_(tokens), context_(context), result_(result) {}

  void run() {
    const Value value = expression(0, true);
    if (failed()) return;
    if (pos_ < tokens_.size()) {
      const Token& token = tokens_[pos_];
      if (token.is(")")) {
        fail("missing '(' in expression");
      } else if (token.is(":")) {
        fail("':' without preceding '?'");
      } else {
        unexpected(token);
      }
      return;
    }
    result_.value = value.bits != 0 && !divided_by_zero_;
  }

 private:
  bool failed() const { return !result_.error.empty(); }
  // The error points at the token being read, or at `at`. Its text is a
  // view: the recursive callers keep no string of their own in their frames.
  [[gnu::cold, gnu::noinline]] void fail(std::string_view text) { fail(text, offset_at(pos_)); }
  [[gnu::cold, gnu::noinline]] void fail(std::string_view text, std::uint32_t at) {
    if (failed()) return;
    result_.error = text;
    result_.error_at = at;
  }
  // A warning about the operator at `op_index`, pointing at its operand
  // after it, as the compiler's does.
  void warn(Severity severity, std::string text, std::size_t op_index) {
    result_.warnings.push_back({severity, std::move(text), Warning::none, offset_at(op_index + 1)});
  }
  bool at_end() const { return pos_ >= tokens_.size(); }
  // Where the token at `index` stands (kAtLineEnd past the last one).
  std::uint32_t offset_at(std::size_t index) const {
    return index < tokens_.size() ? tokens_[index].begin : kAtLineEnd;
  }
  // The warnings that reading a constant added point at its token.
  void point_new_warnings(std::size_t from, const Token& token) {
    for (std::size_t i = from; i < result_.warnings.size(); ++i) result_.warnings[i].at = token.begin;
  }

  // Whether a token that is no operand may stand in an expression: the
  // compiler rejects any other before it parses.
  static bool may_stand(const Token& token) {
    if (token.kind == TokenKind::string_literal || token.kind == TokenKind::other) return false;
    const std::string_view op = spelled_operator(token);
    return op.empty() || binary_op(token) != nullptr || op == "(" || op == ")" || op == "~" || op == "!" ||
           op == ":";
  }

  // A token where an operator should follow an operand.
  void unexpected(const Token& token) {
    const std::string_view op = spelled_operator(token);
    if (!may_stand(token) || (!op.empty() && op != "(" && op != "~" && op != "!")) {
      fail("token " + quoted(token.text) + " is not valid in preprocessor expressions");
    } else {
      fail("missing binary operator before token " + quoted(token.text));
    }
  }

  // Operators of at least `min_precedence` after a first operand.
  Value expression(int min_precedence, bool evaluate) {
    const Nesting nesting(*this);
    if (failed()) return {};
    Value left = unary(evaluate);
    while (!failed() && !at_end()) {
      const Token& token = tokens_[pos_];
      const OpInfo* info = binary_op(token);
      if (info == nullptr) {
        if (!token.is(")") && !token.is(":")) unexpected(token);
        break;
      }
      if (info->precedence < min_precedence) break;
      last_op_ = token.text;
      const std::size_t op_index = pos_++;
      if (info->op == Op::question) {
        left = conditional(left, evaluate);
        continue;
      }
      bool evaluate_right = evaluate;
      if (info->op == Op::logical_and) evaluate_right = evaluate && left.bits != 0;
      if (info->op == Op::logical_or) evaluate_right = evaluate && left.bits == 0;
      const Value right = expression(info->precedence + 1, evaluate_right);
      if (failed()) break;
      left = apply(*info, left, right, evaluate, op_index);
    }
    return left;
  }

  // The rest of `condition ? a : b` after the `?`.
  Value conditional(Value condition, bool evaluate) {
    const Value yes = expression(1, evaluate && condition.bits != 0);
    if (failed()) return yes;
    if (at_end() || !tokens_[pos_].is(":")) {
      fail("'?' without following ':'");
      return yes;
    }
    last_op_ = ":";
    ++pos_;
    const Value no = expression(2, evaluate && condition.bits == 0);
    check_promotion(":", yes, no);
    const bool is_unsigned = yes.is_unsigned || no.is_unsigned;
    return {condition.bits != 0 ? yes.bits : no.bits, is_unsigned};
  }

  // A number or character constant. Out of line, so that the frame of
  // unary(), which nests as deep as the operators do, stays small.
  [[gnu::noinline]] Value constant(const Token& token) {
    Value value;
    std::string error;
    const std::size_t warned = result_.warnings.size();
    const bool valid =
        token.kind == TokenKind::pp_number
            ? parse_integer(token.text, value, error, result_.warnings, form_warnings_of(token.system_macro))
            : parse_char_constant(token.text, value, error, result_.warnings);
    if (!valid) fail(error, token.begin);
    point_new_warnings(warned, token);
    return value;
  }

  // An operand, with its unary operators.
  Value unary(bool evaluate) {
    const Nesting nesting(*this);
    if (failed()) return {};
    if (at_end()) {
      missing_operand();
      return {};
    }
    const Token& token = tokens_[pos_];
    switch (token.kind) {
      case TokenKind::pp_number:
      case TokenKind::char_constant: ++pos_; return constant(token);
      case TokenKind::identifier:
        if (lexing_dialect().cplusplus_tokens) {
          if (!alternative_operator(token.text).empty()) break;
          if (token.text == "true" || token.text == "false") {
            ++pos_;
            return int_value(token.text == "true");
          }
        }
        ++pos_;
        if (evaluate && context_.warn_undefined_names) [[unlikely]]
          warn_if_undefined(token.text);
        return identifier(token.text);
      default: break;
    }
    const std::string_view op = spelled_operator(token);
    if (op.size() == 1) {
      switch (op[0]) {
        case '(': return parenthesized(token, evaluate);
        case '+':
        case '-':
        case '~':
        case '!': return unary_operator(token, op[0], evaluate);
        default: break;
      }
    }
    unexpected_operand(token);
    return {};
  }

  // The expression in parentheses that `open` begins.
  Value parenthesized(const Token& open, bool evaluate) {
    ++pos_;
    if (at_end()) {
      fail("missing ')' in expression", open.begin);
      return {};
    }
    if (tokens_[pos_].is(")")) {
      fail("missing expression between '(' and ')'");
      return {};
    }
    last_op_ = "(";
    const Value inner = expression(0, evaluate);
    if (failed()) return inner;
    if (at_end() || !tokens_[pos_].is(")")) {
      fail("missing ')' in expression", open.begin);
      return inner;
    }
    ++pos_;
    return inner;
  }

  // The operand after the unary operator `token`, spelled `op`.
  Value unary_operator(const Token& token, char op, bool evaluate) {
    if (op == '+' && warns_traditional()) [[unlikely]]
      warn_of_unary_plus(token.begin);
    last_op_ = token.text;
    const std::size_t op_index = pos_++;
    const Value operand = unary(evaluate);
    switch (op) {
      case '!': return int_value(operand.bits == 0);
      case '~': return {~operand.bits, operand.is_unsigned};
      case '-':
        if (evaluate && !operand.is_unsigned && operand.bits == (std::uintmax_t{1} << 63)) overflow(op_index);
        return {0 - operand.bits, operand.is_unsigned};
      default: return operand;
    }
  }

  // The diagnostics of unary() stay out of its frame, as its leaves do: it
  // recurses once for each parenthesis or unary operator, up to kMaxNesting
  // deep.
  [[gnu::cold, gnu::noinline]] void missing_operand() {
    fail(last_op_.empty() ? "#if with no expression"
                          : "operator '" + std::string(last_op_) + "' has no right operand");
  }

  // A token that cannot begin an operand.
  [[gnu::cold, gnu::noinline]] void unexpected_operand(const Token& token) {
    if (!may_stand(token)) {
      fail("token " + quoted(token.text) + " is not valid in preprocessor expressions");
    } else if (token.is(")") && last_op_ == "(") {
      fail("missing expression between '(' and ')'");
    } else if (!last_op_.empty() && last_op_ != "(") {
      fail("operator '" + std::string(last_op_) + "' has no right operand");
    } else if (token.is(")")) {
      fail("missing '(' in expression");
    } else {
      fail("operator '" + std::string(token.text) + "' has no left operand");
    }
  }

  // A name: an operator, which reads on, or 0.
  Value identifier(std::string_view name) {
    if (name == "defined") return defined();
    if (name == "__has_include") return has_include(name, false);
    if (name == "__has_include_next") return has_include(name, true);
    if (is_feature_test(name)) return has_feature(name);
    return {};
  }

  static bool is_feature_test(std::string_view name) {
    return name == "__has_attribute" || name == "__has_c_attribute" || name == "__has_cpp_attribute" ||
           name == "__has_builtin";
  }

  // -Wtraditional; out of line, so that the frame of unary(), which nests
  // as deep as the operators do, stays small.
  [[gnu::cold, gnu::noinline]] void warn_of_unary_plus(std::uint32_t at) {
    result_.warnings.push_back(
        {Severity::warning, "traditional C rejects the unary plus operator", Warning::traditional, at});
  }

  // -Wundef: a name that identifier() takes as 0 is warned of.
  [[gnu::cold, gnu::noinline]] void warn_if_undefined(std::string_view name) {
    if (name == "defined" || name == "__has_include" || name == "__has_include_next" || is_feature_test(name))
      return;
    result_.warnings.push_back(
        {Severity::warning, quoted(name) + " is not defined, evaluates to 0", Warning::undef});
  }

  Value defined() {
    const bool parenthesized = !at_end() && tokens_[pos_].is("(");
    if (parenthesized) ++pos_;
    if (at_end() || tokens_[pos_].kind != TokenKind::identifier) {
      fail("operator \"defined\" requires an identifier");
      return {};
    }
    const bool value = context_.is_defined(tokens_[pos_++].text);
    if (parenthesized) {
      if (at_end() || !tokens_[pos_].is(")")) {
        fail("missing ')' after \"defined\"");
        return {};
      }
      ++pos_;
    }
    return int_value(value);
  }

  Value has_include(std::string_view name, bool next) {
    HeaderTest test = read_header_test(name, next, tokens_.subspan(pos_), context_, texts_);
    for (Finding& error : test.errors) result_.warnings.push_back(std::move(error));
    // The expression reads on from the tokens after the operand, which
    // macros may have made: the tokens read so far stay where they were.
    // Those of an earlier operand stay too: a caller may hold one.
    std::vector<Token>& spliced =
        *spliced_.emplace_back(std::make_unique<std::vector<Token>>(tokens_.begin(), tokens_.begin() + pos_));
    spliced.insert(spliced.end(), test.rest.begin(), test.rest.end());
    tokens_ = spliced;
    return int_value(test.found);
  }

  // __has_attribute (x), __has_builtin (x), ...: the operand is a name,
  // maybe scoped (gnu::x).
  Value has_feature(std::string_view name) {
    if (at_end() || !tokens_[pos_].is("(")) {
      fail("missing '(' after " + quoted(name));
      return {};
    }
    ++pos_;
    std::string test(name);
    test += '(';
    const std::size_t start = pos_;
    while (!at_end() &&
           (tokens_[pos_].kind == TokenKind::identifier || tokens_[pos_].is("::") || tokens_[pos_].is(":"))) {
      test.append(tokens_[pos_++].text);
    }
    if (pos_ == start) {
      fail("macro " + quoted(name) + " requires an identifier");
      return {};
    }
    if (at_end() || !tokens_[pos_].is(")")) {
      fail("missing ')' after " + quoted(name));
      return {};
    }
    ++pos_;
    test += ')';
    return {static_cast<std::uintmax_t>(context_.has_feature(test)), false};
  }

  void overflow(std::size_t op_index) {
    warn(Severity::pedwarn, "integer overflow in preprocessor expression", op_index);
  }

  // -Wall: the warning of a negative operand that the other, unsigned,
  // makes unsigned; evaluated or not.
  void check_promotion(std::string_view op, Value left, Value right) {
    if (!diagnostic_rules().gives(Warning::sign_change) || left.is_unsigned == right.is_unsigned) return;
    const bool left_changes = right.is_unsigned;
    if (as_signed(left_changes ? left.bits : right.bits) >= 0) return;
    result_.warnings.push_back({Severity::warning,
                                std::string("the ") + (left_changes ? "left" : "right") + " operand of \"" +
                                    std::string(op) + "\" changes sign when promoted",
                                Warning::sign_change});
  }

  Value apply(const OpInfo& info, Value left, Value right, bool evaluate, std::size_t op_index) {
    if (converts_both(info.op)) check_promotion(info.text, left, right);
    if (info.op == Op::comma) {
      // C90 has no comma in a constant expression; C99 none that is evaluated.
      if (diagnostic_rules().pedantic && (!follows_c99(lexing_dialect()) || evaluate))
        warn(Severity::pedwarn, "comma operator in operand of #if", op_index);
      return right;
    }
    ArithmeticFindings found;
    const Value value = apply_binary(info.op, left, right, evaluate, found);
    if (found.overflow) overflow(op_index);
    if (found.divided_by_zero && !divided_by_zero_) {
      fail("division by zero in #if", offset_at(op_index));
      divided_by_zero_ = true;
    }
    return value;
  }

  // Counts the recursion of the parser, which follows the nesting of the
  // expression, and stops it at kMaxNesting.
  struct Nesting {
    explicit Nesting(ConditionParser& parser) : parser_(parser) {
      if (++parser_.nesting_ > kMaxNesting) parser_.fail("#if expression nested too deeply");
    }
    ~Nesting() { --parser_.nesting_; }
    ConditionParser& parser_;
  };

  std::span<const Token> tokens_;
  // What the operands of __has_include made: the lists tokens_ was read
  // from, and the texts of expanded tokens.
  std::vector<std::unique_ptr<std::vector<Token>>> spliced_;
  std::vector<std::unique_ptr<std::string>> texts_;
  ConditionContext& context_;
  Condition& result_;
  std::size_t pos_ = 0;
  int nesting_ = 0;
  std::string_view last_op_;  // the operator or "(" before the current operand
  bool divided_by_zero_ = false;
};

}  // namespace

Condition evaluate_condition(std::span<const Token> tokens, ConditionContext& context) {
  Condition result;
  ConditionParser(tokens, context, result).run();
  if (!result.error.empty()) result.value = false;
  return result;
}

}  // namespace sornik::cmode
