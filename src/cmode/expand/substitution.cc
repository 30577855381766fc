// Substitution of arguments into replacement lists: `#`, `##`, __VA_OPT__ and the GNU comma.
#include "cmode/expand/substitution.h"

#include <algorithm>
#include <functional>

#include "cmode/expand/padding.h"
#include "cmode/lex/dialect.h"

namespace sornik::cmode {

namespace {

bool is_paste(const Macro& macro, const BodyToken& token) { return macro.is_punctuator(token, "##"); }

// The position after the `)` that closes the `(` at `open`, or `end`.
std::size_t after_closing(const Macro& macro, std::size_t open, std::size_t end) {
  const std::span<const BodyToken> body = macro.body();
  int depth = 0;
  for (std::size_t pos = open; pos < end; ++pos) {
    if (macro.is_punctuator(body[pos], "(")) ++depth;
    if (macro.is_punctuator(body[pos], ")") && --depth == 0) return pos + 1;
  }
  return end;
}

// Gives the first real token appended from `from` on the blank of what it stands for.
void set_leading_space(std::vector<ExpToken>& out, std::size_t from, bool space_before) {
  for (std::size_t pos = from; pos < out.size(); ++pos) {
    if (out[pos].mark != Mark::none) continue;
    out[pos].space_before = space_before;
    return;
  }
}

ExpToken placemarker() {
  ExpToken token;
  token.placemarker = true;
  token.stable = true;
  return token;
}

}  // namespace

void find_expanded_arguments(const Macro& macro, std::vector<std::size_t>& needed) {
  needed.clear();
  const auto need = [&needed](std::size_t param) {
    if (std::find(needed.begin(), needed.end(), param) == needed.end()) needed.push_back(param);
  };
  const std::span<const BodyToken> body = macro.body();
  for (std::size_t pos = 0; pos < body.size(); ++pos) {
    if (body[pos].kind != TokenKind::identifier) continue;
    const std::string_view text = macro.text(body[pos]);
    if (macro.variadic() && text == "__VA_OPT__") need(macro.param_count() - 1);
    const int param = macro.param_index(text);
    if (param < 0) continue;
    const bool after_operator =
        pos > 0 && (is_paste(macro, body[pos - 1]) || macro.is_punctuator(body[pos - 1], "#"));
    const bool before_paste = pos + 1 < body.size() && is_paste(macro, body[pos + 1]);
    if (!after_operator && !before_paste) need(static_cast<std::size_t>(param));
  }
}

struct Substituter::Run {
  const Macro& macro;
  Arguments* args;
  std::uint32_t line;
  // Where the content of the __VA_OPT__ being substituted begins in the
  // output: its first item has no padding before it.
  std::size_t va_opt_from = SIZE_MAX;
};

void Substituter::substitute(const Macro& macro, Arguments* args, std::uint32_t line, bool space_before,
                             std::vector<ExpToken>& out) {
  Run run{macro, args, line};
  problems_.clear();
  if (empty_arguments_warned_ && args != nullptr) check_empty_arguments(run);
  const std::size_t start = out.size();
  substitute_range(run, 0, macro.body().size(), out);
  const auto start_at = out.begin() + static_cast<std::ptrdiff_t>(start);
  out.erase(std::remove_if(start_at, out.end(),
                           [](const ExpToken& token) {
                             return token.placemarker;
                           }),
            out.end());
  set_leading_space(out, start, space_before);
  // Every token of an expansion, arguments included, stands on the line of the use.
  for (auto token = out.begin() + static_cast<std::ptrdiff_t>(start); token != out.end(); ++token)
    token->line = line;
  if (marks_system_macros_) [[unlikely]] {
    const bool system = table_.definition_files()[macro.definition_file()].system;
    mark_expansion(macro, system, std::span<ExpToken>(out).subspan(start));
  }
}

void Substituter::check_empty_arguments(Run& run) {
  const Macro& macro = run.macro;
  std::vector<bool> used(macro.param_count(), false);
  const std::span<const BodyToken> body = macro.body();
  for (std::size_t pos = 0; pos < body.size(); ++pos) {
    if (body[pos].kind != TokenKind::identifier) continue;
    const int param = macro.param_index(macro.text(body[pos]));
    // As in the compiler, an argument that is only stringified may be empty.
    const bool stringified = pos > 0 && macro.is_punctuator(body[pos - 1], "#");
    if (param >= 0 && !stringified) used[static_cast<std::size_t>(param)] = true;
  }
  for (std::size_t index = 0; index < used.size(); ++index) {
    if (!used[index]) continue;
    const std::span<const ExpToken> argument = run.args->raw(index);
    if (std::any_of(argument.begin(), argument.end(), [](const ExpToken& token) {
          return token.mark == Mark::none;
        }))
      continue;
    problems_.push_back({Severity::pedwarn, "invoking macro " + std::string(macro.name()) + " argument " +
                                                std::to_string(index + 1) +
                                                ": empty macro arguments are undefined in ISO " +
                                                (lexing_dialect().cplusplus ? "C++98" : "C90")});
  }
}

void Substituter::substitute_range(Run& run, std::size_t begin, std::size_t end, std::vector<ExpToken>& out,
                                   bool first_is_operand, bool last_is_operand) {
  const Macro& macro = run.macro;
  const std::span<const BodyToken> body = macro.body();
  const auto before_paste = [&](std::size_t pos) {
    return pos + 1 < end && is_paste(macro, body[pos + 1]);
  };
  // The first and last items of a __VA_OPT__ content next to a ## outside it.
  const auto at_edge = [&](std::size_t pos) {
    return (first_is_operand && pos == begin) || (last_is_operand && pos + 1 == end);
  };
  std::size_t pos = begin;
  while (pos < end) {
    if (is_paste(macro, body[pos]) && pos > begin && pos + 1 < end) {
      ++pos;
      // A run of ## pastes once.
      while (pos + 1 < end && is_paste(macro, body[pos])) ++pos;
      if (gnu_comma(run, pos, out)) continue;
      if (pastes_dropped_comma(run, pos, end)) {
        ++pos;
        continue;
      }
      const std::size_t right_start = out.size();
      append_operand(run, pos, end, {true, before_paste(pos), at_edge(pos)}, out);
      paste(macro, out, right_start);
      continue;
    }
    append_operand(run, pos, end, {false, before_paste(pos), at_edge(pos)}, out);
  }
}

void Substituter::append_operand(Run& run, std::size_t& pos, std::size_t end, PasteSides sides,
                                 std::vector<ExpToken>& out) {
  // A parameter next to ## is substituted as written; one at the edge of a
  // __VA_OPT__ next to ## is expanded, and both stand as a placemarker when empty.
  const bool paste_operand = sides.after || sides.before;
  const Macro& macro = run.macro;
  const std::span<const BodyToken> body = macro.body();
  const BodyToken& token = body[pos];
  const std::string_view text = macro.text(token);
  if (run.args != nullptr && macro.is_punctuator(token, "#") && pos + 1 < end &&
      body[pos + 1].kind == TokenKind::identifier) {
    const std::string_view operand_name = macro.text(body[pos + 1]);
    const int param = macro.param_index(operand_name);
    const bool va_opt = macro.variadic() && operand_name == "__VA_OPT__";
    if (param >= 0 || va_opt) {
      std::vector<ExpToken> content;
      std::span<const ExpToken> operand;
      if (param >= 0) {
        operand = run.args->raw(static_cast<std::size_t>(param));
        pos += 2;
      } else {
        const std::size_t close = after_closing(macro, pos + 2, end);
        const std::size_t problems_before = problems_.size();
        if (va_opt_taken(run)) substitute_range(run, pos + 3, close - 1, content);
        // The compiler pastes the tokens of a group it stringifies as it
        // spells them, and places a failed paste at the use.
        for (std::size_t i = problems_before; i < problems_.size(); ++i) problems_[i].in_definition = false;
        operand = content;
        pos = close;
      }
      scratch_.clear();
      if (append_stringified(scratch_, operand)) {
        problems_.push_back({Severity::warning, "invalid string literal, ignoring final '\\'"});
      }
      ExpToken string;
      string.text = arena_.store(scratch_);
      string.kind = TokenKind::string_literal;
      string.space_before = token.space_before;
      string.own_space = token.space_before;
      string.line = run.line;
      string.stable = true;
      out.push_back(string);
      return;
    }
  }
  if (run.args != nullptr && token.kind == TokenKind::identifier) {
    const int param = macro.param_index(text);
    if (param >= 0) {
      const std::size_t from = out.size();
      const auto index = static_cast<std::size_t>(param);
      const std::span<const ExpToken> arg = paste_operand ? run.args->raw(index) : run.args->expanded(index);
      const bool empty = std::none_of(arg.begin(), arg.end(), [](const ExpToken& t) {
        return t.mark == Mark::none;
      });
      const bool pad_before = pos > 0 && !sides.after && out.size() != run.va_opt_from;
      if ((paste_operand || sides.va_opt_edge) && empty) {
        append_argument(arg, token.space_before, pad_before, false, out);
        out.push_back(placemarker());
        append_argument({}, false, false, !sides.before, out);
      } else {
        append_argument(arg, token.space_before, pad_before, !sides.before, out);
      }
      set_leading_space(out, from, token.space_before);
      ++pos;
      return;
    }
    if (macro.variadic() && text == "__VA_OPT__" && pos + 1 < end && macro.text(body[pos + 1]) == "(") {
      const std::size_t close = after_closing(macro, pos + 1, end);
      const std::size_t from = out.size();
      // The content's first and last items are operands of a ## next to __VA_OPT__.
      const bool paste_follows = close < end && is_paste(macro, body[close]);
      append_argument({}, token.space_before, pos > 0 && !sides.after, false, out);
      const std::size_t content = run.va_opt_from = out.size();
      if (va_opt_taken(run)) substitute_range(run, pos + 2, close - 1, out, sides.after, paste_follows);
      run.va_opt_from = SIZE_MAX;
      // The compiler drops the paddings that end the content.
      while (out.size() > content && out.back().mark == Mark::padding) out.pop_back();
      if (out.size() == content) out.push_back(placemarker());
      append_argument({}, false, false, !paste_follows, out);
      set_leading_space(out, from, token.space_before);
      pos = close;
      return;
    }
  }
  ExpToken copy;
  copy.text = text;
  copy.kind = token.kind;
  copy.space_before = token.space_before;
  copy.own_space = token.space_before && pos > 0;
  copy.line = run.line;
  out.push_back(copy);
  ++pos;
}

bool Substituter::gnu_comma(Run& run, std::size_t& pos, std::vector<ExpToken>& out) {
  const Macro& macro = run.macro;
  const BodyToken& token = macro.body()[pos];
  if (run.args == nullptr || !macro.variadic() || token.kind != TokenKind::identifier ||
      macro.param_index(macro.text(token)) != static_cast<int>(macro.param_count()) - 1) {
    return false;
  }
  std::size_t comma = out.size();
  while (comma > 0 && out[comma - 1].mark != Mark::none) --comma;
  if (comma == 0 || !out[comma - 1].is(",")) return false;
  // `, ## __VA_ARGS__` pastes nothing: the comma goes when the variable
  // arguments are left out (or empty, when they are the only parameter and
  // the dialect is GNU's).
  if (gnu_comma_goes(run)) out.erase(out.begin() + static_cast<std::ptrdiff_t>(comma - 1));
  const std::span<const ExpToken> rest = run.args->raw(macro.param_count() - 1);
  append_argument(rest, false, false,
                  !(pos + 1 < macro.body().size() && is_paste(macro, macro.body()[pos + 1])), out);
  ++pos;
  return true;
}

void Substituter::append_argument(std::span<const ExpToken> argument, bool spaced, bool pad_before,
                                  bool pad_after, std::vector<ExpToken>& out) const {
  // A start changes nothing before a token written with the same white
  // space, nor before a start alike; an end nothing after a token, nor after
  // an end.
  const auto starts_alike = [spaced](const ExpToken& first) {
    const bool token = first.mark == Mark::none && !first.placemarker;
    return (token || first.padding == Padding::start) && first.own_space == spaced;
  };
  const auto ends = [](const ExpToken& last) {
    return (last.mark == Mark::none && !last.placemarker) || last.padding == Padding::end;
  };
  if (padding_ && pad_before && (argument.empty() || !starts_alike(argument.front())))
    append_padding(out, mark_token(Mark::padding, 0, Padding::start, spaced));
  out.insert(out.end(), argument.begin(), argument.end());
  if (padding_ && pad_after && (argument.empty() || !ends(argument.back())))
    append_padding(out, mark_token(Mark::padding, 0, Padding::end));
}

bool Substituter::gnu_comma_goes(Run& run) const {
  const Macro& macro = run.macro;
  return run.args->raw(macro.param_count() - 1).empty() &&
         (run.args->variadic_absent() || (macro.param_count() == 1 && !lexing_dialect().strict));
}

bool Substituter::pastes_dropped_comma(Run& run, std::size_t pos, std::size_t end) const {
  const Macro& macro = run.macro;
  const std::span<const BodyToken> body = macro.body();
  if (run.args == nullptr || !macro.variadic() || !macro.is_punctuator(body[pos], ",") || pos + 2 >= end ||
      !is_paste(macro, body[pos + 1]) || body[pos + 2].kind != TokenKind::identifier) {
    return false;
  }
  return macro.param_index(macro.text(body[pos + 2])) == static_cast<int>(macro.param_count()) - 1 &&
         gnu_comma_goes(run);
}

bool Substituter::va_opt_taken(Run& run) {
  if (run.args->variadic_absent()) return false;
  const std::span<const ExpToken> rest = run.args->expanded(run.macro.param_count() - 1);
  return std::any_of(rest.begin(), rest.end(), [](const ExpToken& token) {
    return token.mark == Mark::none && !token.placemarker;
  });
}

bool Substituter::is_macro_not_suffix(std::string_view name) const {
  // A name pasted to a literal is its suffix unless it is a macro; one of the
  // form `_x` always is, as the compiler reads it.
  if (name.empty() || (name[0] == '_' && name.size() > 1 && name[1] != '_')) return false;
  return table_.find(name) != nullptr;
}

void Substituter::paste(const Macro& macro, std::vector<ExpToken>& out, std::size_t right_start) {
  std::size_t left = right_start;
  while (left > 0 && out[left - 1].mark != Mark::none) --left;
  std::size_t right = right_start;
  while (right < out.size() && out[right].mark != Mark::none) ++right;
  if (left == 0 || right == out.size()) return;
  --left;
  ExpToken& lhs = out[left];
  ExpToken& rhs = out[right];
  if (lhs.placemarker) {
    const bool space = lhs.space_before;
    out.erase(out.begin() + static_cast<std::ptrdiff_t>(left));
    out[right - 1].space_before = space;
    return;
  }
  if (rhs.placemarker) {
    out.erase(out.begin() + static_cast<std::ptrdiff_t>(right));
    return;
  }
  scratch_.assign(lhs.text);
  scratch_.append(rhs.text);
  TokenKind kind;
  if (!respeller_.single_token(scratch_, kind) || is_macro_not_suffix(respeller_.suffix())) {
    // The right operand keeps the white space written before it.
    rhs.space_before = rhs.own_space;
    const std::string_view body = macro.replacement();
    const bool in_definition = std::less_equal<const char*>()(body.data(), lhs.text.data()) &&
                               std::less<const char*>()(lhs.text.data(), body.data() + body.size());
    problems_.push_back({Severity::error,
                         "pasting \"" + std::string(lhs.text) + "\" and \"" + std::string(rhs.text) +
                             "\" does not give a valid preprocessing token",
                         lhs.from_source ? lhs.line : 0, in_definition});
    return;
  }
  lhs.text = arena_.store(scratch_);
  lhs.kind = kind;
  lhs.no_expand = false;
  lhs.from_source = false;
  lhs.stable = true;
  out.erase(out.begin() + static_cast<std::ptrdiff_t>(right));
}

}  // namespace sornik::cmode
