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

const ExpToken* Rescanner::next_operand_token(const Scope& scope, Walk& walk,
                                              std::vector<ExpToken>& crossed) {
  const ExpToken* token;
  while ((token = item(scope, walk, false)) != nullptr && token->mark != Mark::none) {
    crossed.push_back(*token);
    ++walk.pos;
  }
  return token;
}

void Rescanner::keep_operand_token(const ExpToken& token, Walk& walk, std::vector<ExpToken>& parts) {
  // Reading on may move the source to its next chunk: what is kept is copied first.
  parts.push_back(token);
  parts.back().text = arena_.store(token.text);
  parts.back().stable = true;
  ++walk.pos;
}

bool Rescanner::try_feature_test(const Scope& scope, const ExpToken& name, const Macro& macro) {
  // In #if the expression's reader answers them, with its own messages.
  if (scope.in_condition || feature_tests_ == nullptr) return false;
  const std::string display(name.text);
  Walk walk = start(scope);
  std::vector<ExpToken> crossed;
  std::vector<ExpToken> parts;
  while (parts.empty() || !parts.back().is(")")) {
    const ExpToken* token = next_operand_token(scope, walk, crossed);
    if (token == nullptr || !fits_operand(parts, *token)) break;
    keep_operand_token(*token, walk, parts);
  }
  if (parts.empty() || !parts.back().is(")")) {
    report(name.line, parts.empty()       ? "missing '(' after \"" + display + "\""
                      : parts.size() == 1 ? "macro \"" + display + "\" requires an identifier"
                                          : "missing ')' after \"" + display + "\"");
    return false;
  }
  take(scope, walk);
  std::string test(name.text);
  for (const ExpToken& part : parts)
    test.append(part.kind == TokenKind::identifier ? operand_name(table_, part.text) : part.text);
  write_test_value(scope, name, macro, crossed, parts, feature_tests_->feature_value(test));
  return true;
}

bool Rescanner::try_header_test(const Scope& scope, const ExpToken& name, const Macro& macro) {
  // In #if the expression's reader answers them.
  if (scope.in_condition || feature_tests_ == nullptr) return false;
  const std::string quoted_name = "\"" + std::string(name.text) + "\"";
  const bool next = name.text == "__has_include_next";
  report(name.line, quoted_name + " used outside of preprocessing directive");
  // The compiler reads on as in #if, macros expanded, whatever the tokens
  // are: a '(', the header name ("..." or the tokens from '<' to '>'), a
  // ')'; each one it misses is an error of its own, where it stands.
  const std::uint32_t group = new_group(name.text, macro);
  ExpToken value = name;
  OperandReading reading;
  reading.display.assign(name.text);
  reading.own_levels = depth_;
  std::uint32_t line = name.line;
  const auto next_token = [&]() {
    const ExpToken* token = next_operand_token(scope, reading);
    if (token != nullptr) line = token->line;
    return token;
  };
  const ExpToken* token = next_token();
  const bool parenthesized = token != nullptr && token->is("(");
  if (parenthesized) {
    token = next_token();
  } else {
    report(line, "missing '(' before " + quoted_name + " operand");
  }
  std::string header;
  bool named = true;
  bool angled = false;
  if (token != nullptr && token->kind == TokenKind::string_literal && token->text.front() == '"') {
    header = token->text.substr(1, token->text.size() - 2);
  } else if (token != nullptr && token->is("<")) {
    angled = true;
    if (take_written_header_name(scope, reading, header)) {
      // The name as written, up to its '>'.
    } else {
      while ((token = next_token()) != nullptr && !token->is(">")) {
        if (token->own_space) header += ' ';
        header.append(token->text);
      }
      if (token == nullptr) report(line, "missing terminating > character");
    }
  } else {
    named = false;
    report(line, "operator " + quoted_name + " requires a header-name");
  }
  const bool found = named && feature_tests_->header_found(header, angled, next);
  if (parenthesized && ((token = next_token()) == nullptr || !token->is(")")))
    report(line, "missing ')' after " + quoted_name + " operand");
  take_closing_marks(scope, reading);
  value.kind = TokenKind::pp_number;
  value.text = found ? "1" : "0";
  value.no_expand = false;
  value.from_source = false;
  value.stable = true;
  write_pragma_group(scope, group, reading, &value);
  return true;
}

bool Rescanner::take_written_header_name(const Scope& scope, OperandReading& reading, std::string& name) {
  const ExpToken open = reading.current;
  Walk walk = start(scope);
  if (!open.from_source || walk.level >= 0) return false;
  std::string glued;
  for (const std::size_t first = walk.pos;; ++walk.pos) {
    const ExpToken* token = item(scope, walk, false);
    if (token == nullptr || token->line != open.line) return false;
    if (!token->is(">")) {
      if (token->own_space) glued += ' ';
      glued.append(token->text);
      continue;
    }
    if (grouping_ == Grouping::named) {
      for (Walk taken{-1, first}; taken.pos <= walk.pos; ++taken.pos)
        append_display(reading.display, *item(scope, taken, false));
    }
    source_end_ = std::max(source_end_, token->source_end);
    ++walk.pos;
    take(scope, walk);
    name = std::move(glued);
    return true;
  }
}

void Rescanner::write_test_value(const Scope& scope, const ExpToken& name, const Macro& macro,
                                 const std::vector<ExpToken>& crossed, const std::vector<ExpToken>& parts,
                                 std::intmax_t value) {
  std::string display(name.text);
  for (const ExpToken& part : parts) {
    if (part.from_source) source_end_ = std::max(source_end_, part.source_end);
    append_display(display, part);
  }
  ExpToken token = name;
  token.kind = TokenKind::pp_number;
  token.text = arena_.store(std::to_string(value));
  token.no_expand = false;
  token.from_source = false;
  token.stable = true;
  const std::uint32_t group = new_group(display, macro);
  // The marks the operand crossed move away from where their paddings stood.
  const auto push_moved = [&](const ExpToken& mark) {
    scope.out->push_back(mark);
    scope.out->back().padding = Padding::none;
  };
  for (const ExpToken& mark : crossed) {
    if (mark.mark == Mark::open) push_moved(mark);
  }
  scope.out->push_back(
      mark_token(Mark::open, group, padding_ ? Padding::start : Padding::none, name.own_space));
  scope.out->push_back(token);
  scope.out->push_back(mark_token(Mark::close, group, padding_ ? Padding::end : Padding::none));
  for (const ExpToken& mark : crossed) {
    if (mark.mark == Mark::close) push_moved(mark);
  }
}

}  // namespace sornik::cmode
