// The _Pragma operator in code: its operand read with macros expanded, the
// pragma acted on, and the #pragma line (or nothing) it leaves in the output.
#include <algorithm>
#include <string>
#include <vector>

#include "cmode/expand/call_scratch.h"
#include "cmode/expand/rescanner.h"

namespace sornik::cmode {

namespace {

// Whether the operand's `index`th token (0 to 2) is what `( "..." )` wants
// there; any string literal will do, wide and UTF ones too.
bool fits_operand(std::size_t index, const ExpToken& token) {
  if (index == 0) return token.is("(");
  if (index == 1) return token.kind == TokenKind::string_literal;
  return token.is(")");
}

}  // namespace

bool Rescanner::try_pragma(const Scope& scope, const ExpToken& name, const Macro& macro) {
  if (!scope.runs_pragmas) return false;
  // The group comes first, so that the groups of the operand's macros nest in it.
  const std::uint32_t group = new_group(name.text, macro);
  // Reading on may move the source to its next chunk: the name is copied first.
  ExpToken expansion = name;
  expansion.text = arena_.store(name.text);
  expansion.stable = true;
  OperandReading reading;
  reading.display.assign(expansion.text);
  reading.own_levels = depth_;
  reading.spaced = name.own_space;
  ExpToken parts[3];
  std::size_t read = 0;
  while (read < 3) {
    const ExpToken* token = next_operand_token(scope, reading);
    if (token == nullptr) break;
    parts[read] = *token;
    if (!fits_operand(read++, *token)) break;
  }
  if (read < 3 || !fits_operand(2, parts[2])) {
    take_closing_marks(scope, reading);
    // As in the compiler, the tokens read up to the wrong one are consumed
    // (an end is not) and the name stays, never to act again.
    report(name.line, "_Pragma takes a parenthesized string literal");
    if (read == 0) {
      --group_count_;
      return false;
    }
    expansion.no_expand = true;
    write_pragma_group(scope, group, reading, &expansion);
    return true;
  }
  // The pragma acts before anything after the operand is read: a directive
  // on the next line (#if after a pop_macro) sees what it did.
  const std::string pragma = destringized(parts[1].text);
  const bool acted = pragma_actions_ != nullptr && pragma_actions_->pragma_operator(pragma, name.line);
  take_closing_marks(scope, reading);
  if (acted) {
    write_pragma_group(scope, group, reading, nullptr);
    return true;
  }
  // As the C compiler's preprocessor writes it: a #pragma line of its own.
  text_.assign("\n#pragma ");
  text_.append(pragma);
  text_.push_back('\n');
  expansion.kind = TokenKind::other;
  expansion.text = arena_.store(text_);
  expansion.from_source = false;
  write_pragma_group(scope, group, reading, &expansion);
  return true;
}

const ExpToken* Rescanner::next_operand_token(const Scope& scope, OperandReading& reading) {
  for (;;) {
    // Nothing is consumed until a token is found: at the end the marks stay.
    Walk walk = start(scope);
    const ExpToken* token;
    const std::size_t crossed_before = reading.crossed.size();
    while ((token = item(scope, walk, false)) != nullptr && token->mark != Mark::none) {
      reading.crossed.push_back(*token);
      ++walk.pos;
    }
    if (token == nullptr) {
      reading.crossed.resize(crossed_before);
      return nullptr;
    }
    // Reading on may move the source to its next chunk: the token is copied first.
    ExpToken& current = reading.current;
    current = *token;
    current.text = arena_.store(token->text);
    current.stable = true;
    const bool own = walk.level < static_cast<std::ptrdiff_t>(reading.own_levels);
    ++walk.pos;
    take(scope, walk);
    reading.own_levels = std::min(reading.own_levels, depth_);
    if (current.from_source) source_end_ = std::max(source_end_, current.source_end);
    if (own && grouping_ == Grouping::named) append_display(reading.display, current);
    if (!current.is_identifier() || current.no_expand) return &current;
    const Macro* macro = table_.find(current.text);
    if (macro == nullptr) return &current;
    if (macro->builtin() != Builtin::none) {
      report_lexed_name(current, *macro);
      return &current;
    }
    if (disabled(macro, current.text, static_cast<std::ptrdiff_t>(depth_) - 1)) {
      current.no_expand = true;
      return &current;
    }
    // The use's group is the first one it makes.
    const std::uint32_t use_group = group_count_;
    const std::size_t use_start = reading.display.size() - current.text.size();
    if (!try_use(scope, current, *macro)) return &current;
    if (own && grouping_ == Grouping::named) reading.own_uses.emplace_back(use_group, use_start);
  }
}

void Rescanner::take_closing_marks(const Scope& scope, OperandReading& reading) {
  // A macro of the operand whose last token ended it closes its group there,
  // not after the operator's.
  Walk walk = start(scope);
  const ExpToken* token;
  while ((token = item(scope, walk, false)) != nullptr &&
         (token->mark == Mark::padding ||
          (token->mark == Mark::close &&
           std::any_of(reading.crossed.begin(), reading.crossed.end(), [&](const ExpToken& mark) {
             return mark.mark == Mark::open && mark.group == token->group;
           })))) {
    reading.crossed.push_back(*token);
    ++walk.pos;
    take(scope, walk);
  }
}

void Rescanner::write_pragma_group(const Scope& scope, std::uint32_t group, OperandReading& reading,
                                   const ExpToken* expansion) {
  // A group the operand opened and closed was consumed with it: its marks
  // go. One it opened and left open encloses the operator's group; one
  // that closed in it, opened before, closes after it.
  std::vector<ExpToken>& out = *scope.out;
  std::vector<ExpToken>& crossed = reading.crossed;
  const auto closed_in_operand = [&](const ExpToken& open) {
    return std::any_of(crossed.begin(), crossed.end(), [&](const ExpToken& mark) {
      return mark.mark == Mark::close && mark.group == open.group;
    });
  };
  std::vector<std::uint32_t> inner;
  bool enclosed = false;
  for (const ExpToken& mark : crossed) {
    if (mark.mark != Mark::open) continue;
    if (closed_in_operand(mark)) {
      inner.push_back(mark.group);
      continue;
    }
    // The marks move away from where their paddings stood.
    out.push_back(mark);
    out.back().padding = Padding::none;
    if (!enclosed) {
      enclosed = true;
      take_operator_text(group, reading, mark.group);
    }
  }
  push_mark(out, Mark::open, group, reading.spaced);
  if (expansion != nullptr) out.push_back(*expansion);
  push_mark(out, Mark::close, group);
  for (const ExpToken& mark : crossed) {
    if (mark.mark == Mark::close && std::find(inner.begin(), inner.end(), mark.group) == inner.end()) {
      out.push_back(mark);
      out.back().padding = Padding::none;
    }
  }
  if (grouping_ == Grouping::named && !enclosed) groups_[group].text = reading.display;
}

void Rescanner::take_operator_text(std::uint32_t group, const OperandReading& reading, std::uint32_t outer) {
  // The operand ended inside the expansion of a use it began: that use's
  // group encloses the operator's, and its text starts with the operator's
  // text before it, so that the outermost group still spells the source.
  if (grouping_ != Grouping::named) return;
  const auto use = std::find_if(reading.own_uses.begin(), reading.own_uses.end(), [&](const auto& entry) {
    return entry.first == outer;
  });
  if (use == reading.own_uses.end()) {
    groups_[group].text = reading.display;
    return;
  }
  std::string operator_text = reading.display.substr(0, use->second);
  groups_[outer].text.insert(0, operator_text);
  while (!operator_text.empty() && operator_text.back() == ' ') operator_text.pop_back();
  groups_[group].text = std::move(operator_text);
}

}  // namespace sornik::cmode
