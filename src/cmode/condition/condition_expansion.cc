// The direct expansion of #if lines over the macro table, for the shapes it handles.
#include "cmode/condition/condition_expansion.h"

#include <algorithm>

#include "cmode/lex/byte_classes.h"
#include "cmode/lex/dialect.h"
#include "cmode/macro/macro.h"

namespace sornik::cmode {

namespace {

// Uses nest at most this deep here; deeper ones go to the rescanner.
constexpr std::size_t kMaxDepth = 32;

bool is_paste(const Macro& macro, const BodyToken& token) {
  if (token.kind != TokenKind::punctuator) return false;
  const std::string_view text = macro.text(token);
  return text == "##" || text == "%:%:";
}

bool is_hash(const Macro& macro, const BodyToken& token) {
  if (token.kind != TokenKind::punctuator) return false;
  const std::string_view text = macro.text(token);
  return text == "#" || text == "%:" || is_paste(macro, token);
}

// An operator of #if whose operand the rescanner leaves unexpanded.
bool keeps_operand(std::string_view name) {
  return name == "defined" || name == "__has_include" || name == "__has_include_next";
}

bool is_word(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return (byte_row(c).plain & kWordByte) != 0;
  });
}

}  // namespace

ConditionExpansion::ConditionExpansion(const MacroTable& table) : table_(table) {}

ConditionExpansion::~ConditionExpansion() = default;

bool ConditionExpansion::expand(std::span<const Token> in, std::vector<Token>& out) {
  out.clear();
  disabled_.clear();
  pasted_.clear();
  marks_system_macros_ = warns_of_number_forms();
  return expand_list(in, true, 0, out);
}

bool ConditionExpansion::disabled(const Macro* macro) const {
  return std::find(disabled_.begin(), disabled_.end(), macro) != disabled_.end();
}

// Expands one token list: the line itself (`in_line`), an argument, or a
// replacement list being rescanned.
bool ConditionExpansion::expand_list(std::span<const Token> in, bool in_line, std::size_t depth,
                                     std::vector<Token>& out) {
  for (std::size_t i = 0; i < in.size(); ++i) {
    const Token& token = in[i];
    if (token.kind != TokenKind::identifier) {
      out.push_back(token);
      continue;
    }
    if (token.text == "defined") {
      if (!in_line) return false;
      // Its operand, X or a parenthesized group, is copied as it stands.
      out.push_back(token);
      int nesting = 0;
      while (i + 1 < in.size()) {
        const Token& operand = in[++i];
        out.push_back(operand);
        if (operand.is("(")) ++nesting;
        if (operand.is(")")) --nesting;
        if (nesting <= 0) break;
      }
      continue;
    }
    const Macro* macro = table_.find(token.text);
    // The feature tests that code lines replace are operators of #if.
    if (macro == nullptr || !macro->replaced() || macro->builtin() == Builtin::feature_test) {
      if (keeps_operand(token.text)) return false;
      out.push_back(token);
      continue;
    }
    // __FILE__, __LINE__ and _Pragma are the rescanner's to replace.
    if (macro->builtin() != Builtin::none) return false;
    if (disabled(macro)) {
      out.push_back(token);
      continue;
    }
    if (!macro->function_like()) {
      if (!expand_use(*macro, {}, depth, out)) return false;
      continue;
    }
    // A name that ends an argument or a replacement list might take its
    // arguments from the tokens that follow the list.
    if (i + 1 == in.size() && !in_line) return false;
    if (i + 1 == in.size() || !in[i + 1].is("(")) {
      out.push_back(token);
      continue;
    }
    std::size_t close = i + 1;
    for (int nesting = 0; close < in.size(); ++close) {
      if (in[close].is("(")) ++nesting;
      if (in[close].is(")") && --nesting == 0) break;
    }
    if (close == in.size()) return false;
    if (!expand_use(*macro, in.subspan(i + 2, close - i - 2), depth, out)) return false;
    i = close;
  }
  return true;
}

// Substitutes the use's arguments into the replacement list and rescans it
// with the macro disabled.
bool ConditionExpansion::expand_use(const Macro& macro, std::span<const Token> arguments, std::size_t depth,
                                    std::vector<Token>& out) {
  if (depth >= kMaxDepth || macro.variadic()) return false;
  if (calls_.size() == depth) calls_.push_back(std::make_unique<Call>());
  Call& call = *calls_[depth];
  call.replaced.clear();
  if (macro.function_like()) {
    call.raw.clear();
    std::size_t start = 0;
    int nesting = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      if (arguments[i].is("(")) ++nesting;
      if (arguments[i].is(")")) --nesting;
      if (nesting == 0 && arguments[i].is(",")) {
        call.raw.push_back(arguments.subspan(start, i - start));
        start = i + 1;
      }
    }
    call.raw.push_back(arguments.subspan(start));
    const std::size_t count = macro.param_count();
    const bool fits =
        count == 0 ? call.raw.front().empty() && call.raw.size() == 1 : call.raw.size() == count;
    if (!fits) return false;
    call.expanded.assign(count, false);
    if (call.arguments.size() < count) call.arguments.resize(count);
  }
  if (!replace_body(macro, depth, call)) return false;
  if (marks_system_macros_) [[unlikely]]
    mark_expansion(macro, table_.definition_files()[macro.definition_file()].system, call.replaced);
  disabled_.push_back(&macro);
  const bool done = expand_list(call.replaced, false, depth + 1, out);
  disabled_.pop_back();
  return done;
}

bool ConditionExpansion::replace_body(const Macro& macro, std::size_t depth, Call& call) {
  const std::span<const BodyToken> body = macro.body();
  for (std::size_t i = 0; i < body.size(); ++i) {
    const BodyToken& token = body[i];
    if (is_hash(macro, token)) return false;  // # of a parameter, or a paste not handled below
    if (i + 1 < body.size() && is_paste(macro, body[i + 1])) {
      if (i + 3 < body.size() && is_paste(macro, body[i + 3])) return false;
      if (i + 2 >= body.size() || !paste(macro, call, i, i + 2)) return false;
      i += 2;
      continue;
    }
    const std::string_view text = macro.text(token);
    const int param =
        macro.function_like() && token.kind == TokenKind::identifier ? macro.param_index(text) : -1;
    if (param >= 0) {
      if (!append_argument(static_cast<std::size_t>(param), depth, call)) return false;
      continue;
    }
    call.replaced.push_back(Token{text, 0, 0, token.kind, token.space_before});
  }
  return true;
}

// Appends the parameter's argument, expanded on its own first; an expanded
// argument that still holds a macro's name is left to the rescanner.
bool ConditionExpansion::append_argument(std::size_t param, std::size_t depth, Call& call) {
  std::vector<Token>& expanded = call.arguments[param];
  if (!call.expanded[param]) {
    expanded.clear();
    if (!expand_list(call.raw[param], false, depth + 1, expanded)) return false;
    for (const Token& token : expanded) {
      if (token.kind == TokenKind::identifier && (table_.replaces(token.text) || keeps_operand(token.text)))
        return false;
    }
    call.expanded[param] = true;
  }
  call.replaced.insert(call.replaced.end(), expanded.begin(), expanded.end());
  return true;
}

// `left ## right` of the replacement list when the two make one name.
bool ConditionExpansion::paste(const Macro& macro, Call& call, std::size_t left, std::size_t right) {
  Token sides[2];
  const std::size_t at[2] = {left, right};
  for (int side = 0; side < 2; ++side) {
    const BodyToken& token = macro.body()[at[side]];
    const std::string_view text = macro.text(token);
    const int param =
        macro.function_like() && token.kind == TokenKind::identifier ? macro.param_index(text) : -1;
    if (param >= 0) {
      const std::span<const Token> raw = call.raw[static_cast<std::size_t>(param)];
      if (raw.size() != 1) return false;
      sides[side] = raw.front();
    } else {
      sides[side] = Token{text, 0, 0, token.kind, token.space_before};
    }
  }
  if (sides[0].kind != TokenKind::identifier || !is_word(sides[0].text) || !is_word(sides[1].text))
    return false;
  const std::string& name = pasted_.emplace_back(std::string(sides[0].text) + std::string(sides[1].text));
  call.replaced.push_back(Token{name, 0, 0, TokenKind::identifier, sides[0].space_before});
  return true;
}

}  // namespace sornik::cmode
