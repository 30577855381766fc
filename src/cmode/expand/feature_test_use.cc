// Feature tests in code: `__has_builtin (x)` and its kin replaced by the
// compiler's answer, as the C compiler's preprocessor replaces them.
#include <algorithm>
#include <string>
#include <vector>

#include "cmode/expand/call_scratch.h"
#include "cmode/expand/rescanner.h"

namespace sornik::cmode {

namespace {

// Whether `token` may follow the parts read so far of `( name )` or
// `( scope :: name )`; the lexer of C may make the `::` two colons, which
// must then touch.
bool fits_operand(const std::vector<ExpToken>& parts, const ExpToken& token) {
  const bool is_name = token.kind == TokenKind::identifier && token.mark == Mark::none;
  if (parts.empty()) return token.is("(");
  const ExpToken& last = parts.back();
  if (last.is("(") || last.is("::")) return is_name;
  if (last.is(":")) return parts[parts.size() - 2].is(":") ? is_name : token.is(":") && !token.space_before;
  // After a name: the end, or the scope after the first name.
  return token.is(")") || (parts.size() == 2 && (token.is("::") || token.is(":")));
}

// The name an operand name stands for: the C compiler expands macros in the
// operand, and those of an operand are in practice object-like macros that
// name another name (`#define U unused`). A macro stops at its own name.
std::string_view operand_name(const MacroTable& table, std::string_view name) {
  std::vector<std::string_view> expanding;
  for (;;) {
    const Macro* macro = table.find(name);
    if (macro == nullptr || macro->builtin() != Builtin::none || macro->function_like() ||
        macro->body().size() != 1 || macro->body()[0].kind != TokenKind::identifier) {
      return name;
    }
    expanding.push_back(name);
    name = macro->text(macro->body()[0]);
    if (std::find(expanding.begin(), expanding.end(), name) != expanding.end()) return name;
  }
}

}  // namespace

bool Rescanner::try_feature_test(const Scope& scope, const ExpToken& name, const Macro& macro) {
  // In #if the expression's reader answers them, with its own messages.
  if (scope.in_condition || feature_tests_ == nullptr) return false;
  // Reading on may move the source to its next chunk: what is kept is copied first.
  std::string display(name.text);
  std::string test(name.text);
  Walk walk = start(scope);
  std::vector<ExpToken> crossed;
  std::vector<ExpToken> parts;
  while (parts.empty() || !parts.back().is(")")) {
    const ExpToken* token;
    while ((token = item(scope, walk, false)) != nullptr && token->mark != Mark::none) {
      crossed.push_back(*token);
      ++walk.pos;
    }
    if (token == nullptr || !fits_operand(parts, *token)) break;
    parts.push_back(*token);
    parts.back().text = arena_.store(token->text);
    parts.back().stable = true;
    ++walk.pos;
  }
  if (parts.empty() || !parts.back().is(")")) {
    report(name.line, parts.empty()       ? "missing '(' after \"" + display + "\""
                      : parts.size() == 1 ? "macro \"" + display + "\" requires an identifier"
                                          : "missing ')' after \"" + display + "\"");
    return false;
  }
  take(scope, walk);
  for (const ExpToken& part : parts) {
    if (part.from_source) source_end_ = std::max(source_end_, part.source_end);
    append_display(display, part);
    test.append(part.kind == TokenKind::identifier ? operand_name(table_, part.text) : part.text);
  }
  ExpToken value = name;
  value.kind = TokenKind::pp_number;
  value.text = arena_.store(std::to_string(feature_tests_->feature_value(test)));
  value.no_expand = false;
  value.from_source = false;
  value.stable = true;
  const std::uint32_t group = new_group(display, macro);
  for (const ExpToken& mark : crossed) {
    if (mark.mark == Mark::open) scope.out->push_back(mark);
  }
  scope.out->push_back(mark_token(Mark::open, group));
  scope.out->push_back(value);
  scope.out->push_back(mark_token(Mark::close, group));
  for (const ExpToken& mark : crossed) {
    if (mark.mark == Mark::close) scope.out->push_back(mark);
  }
  return true;
}

}  // namespace sornik::cmode
