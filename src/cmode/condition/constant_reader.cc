// An evaluator of integer constant expressions over C's integer types: a
// precedence climber whose values are exact 128-bit integers kept within the
// range of their type.
#include "cmode/condition/constant_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "cmode/condition/constant_value.h"
#include "cmode/condition/integer_types.h"

namespace sornik::cmode {

namespace {

// Parentheses, casts and unary operators nest at most this deep.
constexpr int kMaxNesting = 200;

struct BinaryOp {
  std::string_view text;
  int precedence;
};

// From the loosest; the comma and ?: are handled apart.
constexpr std::array<BinaryOp, 18> kBinaryOps = {{{"||", 1},
                                                  {"&&", 2},
                                                  {"|", 3},
                                                  {"^", 4},
                                                  {"&", 5},
                                                  {"==", 6},
                                                  {"!=", 6},
                                                  {"<", 7},
                                                  {">", 7},
                                                  {"<=", 7},
                                                  {">=", 7},
                                                  {"<<", 8},
                                                  {">>", 8},
                                                  {"+", 9},
                                                  {"-", 9},
                                                  {"*", 10},
                                                  {"/", 10},
                                                  {"%", 10}}};

struct TypeWord {
  std::string_view word;
  CType type;
  bool exact;  // a <stdint.h> name, a whole type by itself
};

constexpr TypeWord kStdintNames[] = {
    {"int8_t", {Rank::character, false}, true},  {"uint8_t", {Rank::character, true}, true},
    {"int16_t", {Rank::short_int, false}, true}, {"uint16_t", {Rank::short_int, true}, true},
    {"int32_t", {Rank::integer, false}, true},   {"uint32_t", {Rank::integer, true}, true},
    {"int64_t", {Rank::long_long, false}, true}, {"uint64_t", {Rank::long_long, true}, true},
};

class Evaluator {
 public:
  Evaluator(const std::vector<Token>& tokens, const IntegerTypes& types) : tokens_(tokens), types_(types) {}

  bool run(Typed& result) {
    result = comma_expression();
    return !failed_ && pos_ == tokens_.size();
  }

 private:
  // The result of an arithmetic operation in `type`; a signed result out of
  // range is an overflow.
  Typed checked(WideValue value, CType type) {
    if (!type.is_unsigned && (value > types_.max_of(type) || value < types_.min_of(type))) fail_evaluated();
    return types_.convert(value, type);
  }

  void fail() { failed_ = true; }
  // Undefined behaviour counts only where the operand is evaluated.
  void fail_evaluated() {
    if (unevaluated_ == 0) failed_ = true;
  }

  bool at(std::string_view punctuator) const { return pos_ < tokens_.size() && tokens_[pos_].is(punctuator); }

  Typed comma_expression() {
    Typed value = conditional();
    while (!failed_ && at(",")) {
      // A comma operator makes no constant where it is evaluated.
      fail_evaluated();
      ++pos_;
      value = conditional();
    }
    return value;
  }

  Typed conditional() {
    const Typed condition = binary(1);
    if (failed_ || !at("?")) return condition;
    ++pos_;
    const bool take_first = condition.value != 0;
    if (!take_first) ++unevaluated_;
    const Typed first = comma_expression();
    if (!take_first) --unevaluated_;
    if (failed_ || !at(":")) {
      fail();
      return {};
    }
    ++pos_;
    if (take_first) ++unevaluated_;
    const Typed second = conditional();
    if (take_first) --unevaluated_;
    const CType type = types_.common(first.type, second.type);
    return types_.convert(take_first ? first.value : second.value, type);
  }

  const BinaryOp* binary_op() const {
    if (pos_ >= tokens_.size() || tokens_[pos_].kind != TokenKind::punctuator) return nullptr;
    const auto found = std::find_if(kBinaryOps.begin(), kBinaryOps.end(), [&](const BinaryOp& op) {
      return op.text == tokens_[pos_].text;
    });
    return found == kBinaryOps.end() ? nullptr : &*found;
  }

  Typed binary(int min_precedence) {
    Typed left = unary();
    for (const BinaryOp* op; !failed_ && (op = binary_op()) != nullptr && op->precedence >= min_precedence;) {
      ++pos_;
      const bool logical = op->text == "&&" || op->text == "||";
      // The right operand of && and || is not evaluated once the left decides.
      const bool skip_right = logical && ((op->text == "&&") == (left.value == 0));
      if (skip_right) ++unevaluated_;
      const Typed right = binary(op->precedence + 1);
      if (skip_right) --unevaluated_;
      if (failed_) break;
      left = apply(op->text, left, right);
    }
    return left;
  }

  Typed apply(std::string_view op, const Typed& left, const Typed& right) {
    const CType int_type{Rank::integer, false};
    if (op == "&&") return {left.value != 0 && right.value != 0 ? 1 : 0, int_type};
    if (op == "||") return {left.value != 0 || right.value != 0 ? 1 : 0, int_type};
    if (op == "<<" || op == ">>") return shift(op == "<<", left, right);
    const CType type = types_.common(left.type, right.type);
    const WideValue a = types_.convert(left.value, type).value;
    const WideValue b = types_.convert(right.value, type).value;
    if (op == "==") return {a == b ? 1 : 0, int_type};
    if (op == "!=") return {a != b ? 1 : 0, int_type};
    if (op == "<") return {a < b ? 1 : 0, int_type};
    if (op == ">") return {a > b ? 1 : 0, int_type};
    if (op == "<=") return {a <= b ? 1 : 0, int_type};
    if (op == ">=") return {a >= b ? 1 : 0, int_type};
    if (op == "&") return types_.convert(a & b, type);
    if (op == "|") return types_.convert(a | b, type);
    if (op == "^") return types_.convert(a ^ b, type);
    if (op == "+") return checked(a + b, type);
    if (op == "-") return checked(a - b, type);
    if (op == "*") {
      // Unsigned products may pass 128 bits: only their low bits count.
      if (type.is_unsigned)
        return types_.convert(static_cast<WideValue>(static_cast<WideBits>(a) * static_cast<WideBits>(b)),
                              type);
      return checked(a * b, type);
    }
    if (b == 0) {
      fail_evaluated();
      return {0, type};
    }
    // The remainder is defined only where the quotient is.
    const Typed quotient = checked(a / b, type);
    return op == "/" ? quotient : types_.convert(a % b, type);
  }

  Typed shift(bool left_shift, const Typed& left, const Typed& right) {
    const CType type = types_.promoted(left.type);
    const WideValue count = right.value;
    if (count < 0 || count >= static_cast<WideValue>(types_.width(type))) {
      fail_evaluated();
      return {0, type};
    }
    if (!left_shift) return {left.value >> static_cast<int>(count), type};
    if (type.is_unsigned)
      return types_.convert(
          static_cast<WideValue>(static_cast<WideBits>(left.value) << static_cast<int>(count)), type);
    if (left.value < 0) {
      fail_evaluated();
      return {0, type};
    }
    return checked(left.value << static_cast<int>(count), type);
  }

  Typed unary() {
    if (++nesting_ > kMaxNesting) {
      fail();
      return {};
    }
    const Typed value = unary_operand();
    --nesting_;
    return value;
  }

  Typed unary_operand() {
    if (pos_ >= tokens_.size()) {
      fail();
      return {};
    }
    const Token& token = tokens_[pos_];
    if (token.is("+") || token.is("-") || token.is("~") || token.is("!")) {
      ++pos_;
      const Typed operand = unary();
      const CType type = types_.promoted(operand.type);
      if (token.is("+")) return {operand.value, type};
      if (token.is("-")) return checked(-operand.value, type);
      if (token.is("~")) return types_.convert(~operand.value, type);
      return {operand.value == 0 ? 1 : 0, {Rank::integer, false}};
    }
    if (token.is("(")) {
      ++pos_;
      CType cast;
      if (type_name(cast)) {
        long double floating = 0;
        if (floating_operand(floating)) return floating_cast(floating, cast);
        const Typed operand = unary();
        return types_.convert(operand.value, cast);
      }
      const Typed value = comma_expression();
      if (!at(")")) fail();
      ++pos_;
      return value;
    }
    ++pos_;
    if (token.kind == TokenKind::pp_number) return integer_constant(token.text);
    if (token.kind == TokenKind::char_constant) return char_constant(token.text);
    fail();
    return {};
  }

  // Reads a floating constant, in parentheses or not, as the operand of a
  // cast (the one place where C allows it in an integer constant
  // expression); reads nothing when there is none.
  bool floating_operand(long double& value) {
    std::size_t at = pos_;
    while (at < tokens_.size() && tokens_[at].is("(")) ++at;
    const std::size_t parentheses = at - pos_;
    if (at >= tokens_.size() || tokens_[at].kind != TokenKind::pp_number ||
        !parse_floating(tokens_[at].text, value))
      return false;
    for (std::size_t k = 1; k <= parentheses; ++k) {
      if (at + k >= tokens_.size() || !tokens_[at + k].is(")")) return false;
    }
    pos_ = at + parentheses + 1;
    return true;
  }

  // A floating value (never negative: no sign belongs to the constant)
  // converted toward zero; a value out of the type's range is undefined.
  Typed floating_cast(long double value, CType type) {
    if (type.rank == Rank::boolean) return {value != 0 ? 1 : 0, type};
    const long double whole = std::trunc(value);
    if (whole > static_cast<long double>(types_.max_of(type))) {
      fail_evaluated();
      return {0, type};
    }
    return {static_cast<WideValue>(whole), type};
  }

  // Reads a type name and the `)` after it; false, reading nothing, when
  // none begins here.
  bool type_name(CType& type) {
    const std::size_t start = pos_;
    int longs = 0;
    bool is_signed = false;
    bool is_unsigned = false;
    bool any = false;
    std::optional<Rank> base;
    for (; pos_ < tokens_.size() && tokens_[pos_].kind == TokenKind::identifier; ++pos_) {
      const std::string_view word = tokens_[pos_].text;
      if (word == "const" || word == "volatile") continue;
      const auto exact =
          std::find_if(std::begin(kStdintNames), std::end(kStdintNames), [&](const TypeWord& name) {
            return name.word == word;
          });
      if (exact != std::end(kStdintNames) && !any) {
        type = exact->type;
        any = true;
        base = Rank::long_long;  // nothing may follow but qualifiers
        longs = -1;
        continue;
      }
      if (longs < 0) break;
      if (word == "signed") {
        is_signed = true;
      } else if (word == "unsigned") {
        is_unsigned = true;
      } else if (word == "long") {
        ++longs;
      } else if (word == "char" && !base) {
        base = Rank::character;
      } else if (word == "short" && !base) {
        base = Rank::short_int;
      } else if (word == "int" && (!base || *base == Rank::short_int)) {
        if (!base) base = Rank::integer;
      } else if ((word == "_Bool" || word == "bool") && !base) {
        base = Rank::boolean;
      } else {
        break;
      }
      any = true;
    }
    if (!any || !at(")")) {
      pos_ = start;
      return false;
    }
    ++pos_;
    if (longs < 0) return true;
    const Rank rank = base.value_or(Rank::integer);
    const bool bad = (is_signed && is_unsigned) || longs > 2 || (longs > 0 && rank != Rank::integer) ||
                     (rank == Rank::boolean && (is_signed || is_unsigned));
    if (bad) {
      fail();
      return true;
    }
    type.rank = longs == 2 ? Rank::long_long : longs == 1 ? Rank::long_int : rank;
    type.is_unsigned = is_unsigned || rank == Rank::boolean ||
                       (rank == Rank::character && !is_signed && types_.char_unsigned());
    return true;
  }

  Typed integer_constant(std::string_view text) {
    Value value;
    std::string error;
    std::vector<Finding> warnings;
    const char last = text.back();
    if (!parse_integer(text, value, error, warnings, {.traditional = false, .extensions = false}) ||
        !warnings.empty() || (last | 0x20) == 'i' || (last | 0x20) == 'j') {
      fail();
      return {};
    }
    std::size_t suffix = text.size();
    while (suffix > 0 && std::string_view("uUlL").find(text[suffix - 1]) != std::string_view::npos) --suffix;
    const std::string_view letters = text.substr(suffix);
    const bool u = letters.find_first_of("uU") != std::string_view::npos;
    const auto longs = static_cast<int>(std::count_if(letters.begin(), letters.end(), [](char c) {
      return c == 'l' || c == 'L';
    }));
    const bool decimal = text[0] != '0' || text.size() == 1 || suffix == 1;
    // The first type of the list that holds the value (C17 6.4.4.1).
    for (int rank = std::max(longs, 0); rank <= 2; ++rank) {
      const Rank r = rank == 0 ? Rank::integer : rank == 1 ? Rank::long_int : Rank::long_long;
      for (const bool is_unsigned : {false, true}) {
        if (is_unsigned != u && (u || decimal)) continue;
        const CType type{r, is_unsigned};
        if (static_cast<WideValue>(value.bits) <= types_.max_of(type))
          return {static_cast<WideValue>(value.bits), type};
      }
    }
    fail();
    return {};
  }

  Typed char_constant(std::string_view text) {
    Value value;
    std::string error;
    std::vector<Finding> warnings;
    if (!parse_char_constant(text, value, error, warnings)) {
      fail();
      return {};
    }
    // char16_t is unsigned short, char32_t unsigned int, wchar_t and a
    // plain constant int.
    CType type{Rank::integer, false};
    if (text[0] == 'u' && text[1] != '8') type = {Rank::short_int, true};
    if (text[0] == 'U') type = {Rank::integer, true};
    return types_.convert(static_cast<WideValue>(static_cast<std::intmax_t>(value.bits)), type);
  }

  const std::vector<Token>& tokens_;
  const IntegerTypes& types_;
  std::size_t pos_ = 0;
  int unevaluated_ = 0;
  int nesting_ = 0;
  bool failed_ = false;
};

}  // namespace

bool ConstantReader::read(std::string_view text, IntegerValue& value) {
  lexer_.lex(text, tokens_);
  if (tokens_.empty()) return false;
  const IntegerTypes types(widths_);
  Evaluator evaluator(tokens_, types);
  Typed result;
  if (!evaluator.run(result)) return false;
  value.width = result.type.rank == Rank::boolean ? 1 : types.width(result.type);
  value.is_unsigned = result.type.is_unsigned;
  value.bits = static_cast<std::uint64_t>(static_cast<WideBits>(result.value));
  if (value.width < 64) value.bits &= (std::uint64_t{1} << value.width) - 1;
  return true;
}

}  // namespace sornik::cmode
