// The argument lists of function-like macros: collected across contexts and
// source lines, counted, and dropped when the list fails.
#include <algorithm>
#include <iterator>
#include <string>

#include "cmode/expand/call_scratch.h"
#include "cmode/expand/padding.h"
#include "cmode/expand/rescanner.h"
#include "cmode/lex/dialect.h"

namespace sornik::cmode {

bool Rescanner::collect(const Scope& scope, CallScratch& call, Walk& walk) {
  bool inside = false;
  // Whether the argument being read has a token yet: the compiler drops
  // the paddings an argument begins with.
  bool argument_started = false;
  int nesting = 0;
  // The levels the walk has gone below are over for the use: their macros
  // count as enabled again for what it reads from there on, until the use
  // fails and the levels go on.
  std::size_t open_levels = depth_;
  for (;;) {
    const ExpToken* item_token = item(scope, walk, true);
    if (item_token == nullptr) {
      set_flags(open_levels, depth_, true);
      return false;
    }
    const ExpToken& token = *item_token;
    const std::ptrdiff_t level = walk.level;
    if (call.tokens.size() == call.tokens.capacity()) expect_tokens(call.tokens, 2 * call.tokens.size());
    if (call.in_place() &&
        (level != call.run_level || (token.mark != Mark::none && token.mark != Mark::padding)))
      copy_run(call);
    if (static_cast<std::ptrdiff_t>(open_levels) > level + 1) {
      if (open_levels == depth_) paint_disabled(call.tokens);
      set_flags(static_cast<std::size_t>(level + 1), open_levels, false);
      open_levels = static_cast<std::size_t>(level + 1);
    }
    ++walk.pos;
    if (token.mark == Mark::padding) {
      // Paddings before the `(` go; those an argument begins with, raw() leaves out.
      if (inside && call.in_place()) call.run_end = walk.pos;
      if (inside && !call.in_place()) call.tokens.push_back(token);
      continue;
    }
    if (token.mark == Mark::open) {
      if (inside) {
        call.open_inside.emplace_back(token.group, call.tokens.size());
        call.tokens.push_back(token);
        if (!argument_started) call.tokens.back().padding = Padding::none;
      } else {
        call.hoisted.push_back(token.group);
      }
      continue;
    }
    if (token.mark == Mark::close) {
      auto open = std::find_if(call.open_inside.rbegin(), call.open_inside.rend(), [&](const auto& entry) {
        return entry.first == token.group;
      });
      if (open == call.open_inside.rend()) {
        call.deferred.emplace_back(token.group, call.name.size());
        // The expansion's end stays in the argument as the compiler's padding.
        if (argument_started && token.padding != Padding::none)
          append_padding(call.tokens, mark_token(Mark::padding, token.group, token.padding));
      } else {
        call.open_inside.erase(std::next(open).base());
        call.tokens.push_back(token);
        if (!argument_started) call.tokens.back().padding = Padding::none;
      }
      continue;
    }
    if (token.from_source) call.source_end = std::max(call.source_end, token.source_end);
    call.end_line = token.line;
    if (grouping_ == Grouping::named) append_display(call.name, token);
    if (!inside) {
      inside = true;  // the `(` that peek_real found
      nesting = 1;
      if (level >= 0) {
        call.run_level = level;
        call.run_begin = call.run_end = walk.pos;
        call.gap = 1;
      }
      continue;
    }
    if (token.is("(")) {
      ++nesting;
    } else if (token.is(")")) {
      if (--nesting == 0) break;
    } else if (token.is(",") && nesting == 1 &&
               !(call.macro->variadic() && call.starts.size() == call.macro->param_count())) {
      hoist_open_groups(call);
      if (call.in_place()) {
        call.run_end = walk.pos;
        call.starts.push_back(call.run_end - call.run_begin);
      } else {
        call.starts.push_back(call.tokens.size());
      }
      argument_started = false;
      continue;
    }
    argument_started = true;
    // While every level is still open, the same macros are disabled when the
    // arguments are rescanned: the tokens are judged then (or above, once the
    // walk leaves the top level).
    if (token.is_identifier() && !token.no_expand && level >= 0 &&
        (open_levels < depth_ || !named_levels_.empty()) &&
        disabled(table_.find(token.text), token.text, level)) {
      if (call.in_place()) copy_run(call);
      call.tokens.push_back(token);
      call.tokens.back().no_expand = true;
    } else if (call.in_place()) {
      call.run_end = walk.pos;
    } else {
      call.tokens.push_back(token);
    }
  }
  hoist_open_groups(call);
  if (call.in_place()) {
    call.view = contexts_[static_cast<std::size_t>(call.run_level)].tokens.subspan(
        call.run_begin, call.run_end - call.run_begin);
    call.starts.push_back(call.view.size() + call.gap);
  } else {
    call.view = call.tokens;
    call.starts.push_back(call.tokens.size());
  }
  return true;
}

void Rescanner::copy_run(CallScratch& call) {
  // From here on the arguments are copied: the run read so far is copied
  // without the commas between its arguments.
  const std::span<const ExpToken> run = contexts_[static_cast<std::size_t>(call.run_level)].tokens.subspan(
      call.run_begin, call.run_end - call.run_begin);
  for (std::size_t index = 0; index < call.starts.size(); ++index) {
    const std::size_t begin = call.starts[index];
    const std::size_t end = index + 1 < call.starts.size() ? call.starts[index + 1] - call.gap : run.size();
    call.starts[index] = call.tokens.size();
    call.tokens.insert(call.tokens.end(), run.begin() + static_cast<std::ptrdiff_t>(begin),
                       run.begin() + static_cast<std::ptrdiff_t>(end));
  }
  call.gap = 0;
  call.run_level = -1;
}

void Rescanner::paint_disabled(std::vector<ExpToken>& tokens) {
  const auto top = static_cast<std::ptrdiff_t>(depth_) - 1;
  for (ExpToken& token : tokens) {
    if (token.is_identifier() && !token.no_expand && disabled(table_.find(token.text), token.text, top))
      token.no_expand = true;
  }
}

void Rescanner::hoist_open_groups(CallScratch& call) {
  // A group that an argument opens and does not close encloses the whole use.
  for (auto open = call.open_inside.rbegin(); open != call.open_inside.rend(); ++open) {
    // Its padding stays where the compiler has it.
    ExpToken& mark = call.tokens[open->second];
    if (mark.padding != Padding::none) {
      mark.mark = Mark::padding;
    } else {
      call.tokens.erase(call.tokens.begin() + static_cast<std::ptrdiff_t>(open->second));
    }
    call.hoisted.push_back(open->first);
  }
  call.open_inside.clear();
}

bool Rescanner::check_count(CallScratch& call) {
  const Macro& macro = *call.macro;
  const std::size_t params = macro.param_count();
  std::size_t given = call.starts.size() - 1;
  if (params == 0) {
    const bool empty = std::all_of(call.view.begin(), call.view.end(), [](const ExpToken& token) {
      return token.mark != Mark::none;
    });
    if (empty) return true;
  } else if (given == params) {
    return true;
  } else if (given + 1 == params && macro.variadic()) {
    // ISO C and C++ before C++20 want the variable arguments given, if
    // empty; not of a system header's macro, as the compiler has it.
    const Dialect& dialect = lexing_dialect();
    if (diagnostic_rules().pedantic && dialect.strict &&
        !(dialect.cplusplus && dialect.version >= "202002L") &&
        !table_.definition_files()[macro.definition_file()].system) {
      report(call.end_line,
             dialect.cplusplus
                 ? "ISO C++11 requires at least one argument for the \"...\" in a variadic macro"
                 : "ISO C99 requires at least one argument for the \"...\" in a variadic macro",
             Severity::pedwarn);
    }
    call.absent = true;
    call.starts.push_back(call.starts.back() + call.gap);
    return true;
  }
  const std::string name(call.name_token.text);
  if (given < params) {
    report(call.end_line, "macro \"" + name + "\" requires " + std::to_string(params) +
                              " arguments, but only " + std::to_string(given) + " given");
  } else {
    report(call.end_line, "macro \"" + name + "\" passed " + std::to_string(given) +
                              " arguments, but takes just " + std::to_string(params));
  }
  return false;
}

void Rescanner::report_names_not_expanded(CallScratch& call) {
  for (std::size_t index = 0; index < call.macro->param_count(); ++index) {
    if (std::find(call.needed.begin(), call.needed.end(), index) != call.needed.end()) continue;
    for (const ExpToken& token : call.raw(index)) {
      if (!token.fresh || !token.is_identifier() || !table_.may_hold(token.text)) continue;
      if (const Macro* macro = table_.find(token.text)) report_lexed_name(token, *macro);
    }
  }
}

void Rescanner::fail_use(const Scope& scope, CallScratch& call, const Walk& end) {
  // As the compiler does, the tokens read are dropped and the name stays
  // alone, as a use of its own whose expansion is the name; the name may
  // still start a use when the tokens it goes into are rescanned.
  take(scope, end);
  source_end_ = std::max(source_end_, call.source_end);
  const std::uint32_t group = new_group(call.name, *call.macro);
  for (const auto& [deferred, from] : call.deferred) groups_[deferred].text.append(call.name, from);
  std::vector<ExpToken>& out = *scope.out;
  for (const std::uint32_t hoisted : call.hoisted) out.push_back(mark_token(Mark::open, hoisted));
  push_mark(out, Mark::open, group, call.name_token.own_space);
  out.push_back(call.name_token);
  push_mark(out, Mark::close, group);
  for (const auto& deferred : call.deferred) out.push_back(mark_token(Mark::close, deferred.first));
}

}  // namespace sornik::cmode
