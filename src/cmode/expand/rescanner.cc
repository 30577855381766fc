// The rescanner's loop: uses of macros and of built-in macros, and the context stack.
#include "cmode/expand/rescanner.h"

#include <algorithm>

#include "cmode/expand/call_scratch.h"
#include "cmode/expand/padding.h"
#include "cmode/lex/dialect.h"
#include "cmode/lex/normalization.h"
#include "cmode/lex/universal_names.h"
#include "common/located_diagnostics.h"

namespace sornik::cmode {

namespace {

bool is_condition_operator(std::string_view name) {
  return name == "defined" || name == "__has_include" || name == "__has_include_next";
}

}  // namespace

Rescanner::Rescanner(const MacroTable& table, std::string_view file) : table_(table), file_(file) {}

Rescanner::~Rescanner() = default;

void Rescanner::reset() {
  pop_to(0);
  arena_.clear();
  kept_macros_.clear();
  group_count_ = 0;
  groups_stable_ = 0;
  call_depth_ = 0;
}

void Rescanner::report(std::uint32_t line, std::string_view text, Severity severity) {
  report_at(file_, line, severity, text);
}

void Rescanner::warn_of_use_without_arguments(std::uint32_t line, const Macro& macro) {
  if (!warns_traditional() || table_.definition_files()[macro.definition_file()].system) {
    return;
  }
  report_at(file_, line, Severity::warning,
            "function-like macro " + quoted(macro.name()) + " must be used with arguments in traditional C",
            Warning::traditional);
}

void Rescanner::warn_of_expanded_defined(std::uint32_t line) {
  if (diagnostic_rules().gives_with_extra(Warning::expansion_to_defined)) {
    report_at(file_, line, Severity::pedwarn, "this use of \"defined\" may not be portable",
              Warning::expansion_to_defined);
  }
}

void Rescanner::check_token_characters(const ExpToken& token) {
  if (takes_dollar_warning(token.text)) [[unlikely]]
    report(token.line, "'$' in identifier or number", Severity::pedwarn);
  if ((token.kind == TokenKind::identifier || token.kind == TokenKind::pp_number) &&
      spells_extended_characters(token.text)) {
    const std::string errors = identifier_character_errors(token.text);
    for (std::size_t start = 0; start < errors.size();) {
      const std::size_t end = errors.find('\n', start);
      report(token.line, std::string_view(errors).substr(start, end - start));
      start = end + 1;
    }
  }
  if (diagnostic_rules().normalized == NormalForm::none || !spells_extended_characters(token.text)) return;
  const std::string warning = normalization_warning(token.text, token.kind, diagnostic_rules().normalized);
  if (!warning.empty()) report_at(file_, token.line, normalization_severity(), warning, Warning::normalized);
}

std::uint32_t Rescanner::new_group(std::string_view name, const Macro& macro) {
  if (group_count_ == groups_.size()) groups_.emplace_back();
  groups_[group_count_].macro = &macro;
  if (grouping_ == Grouping::named) {
    groups_[group_count_].text.assign(name);
  } else {
    groups_[group_count_].text.clear();
  }
  return static_cast<std::uint32_t>(group_count_++);
}

void Rescanner::push_mark(std::vector<ExpToken>& out, Mark kind, std::uint32_t group, bool spaced) const {
  const Padding padding = !padding_ ? Padding::none : kind == Mark::open ? Padding::start : Padding::end;
  if (grouping_ != Grouping::outermost || group == 0) [[likely]] {
    out.push_back(mark_token(kind, group, padding, spaced));
  } else if (padding != Padding::none) {
    append_padding(out, mark_token(Mark::padding, group, padding, spaced));
  }
}

std::vector<ExpToken>& Rescanner::push_context(const Macro* macro, bool table_holds_it) {
  if (depth_ == contexts_.size()) contexts_.emplace_back();
  Context& context = contexts_[depth_++];
  context.owned.clear();
  context.tokens = {};
  context.pos = 0;
  context.name = macro != nullptr ? macro->name() : std::string_view();
  context.flagged = nullptr;
  if (macro != nullptr) macro->mark_used();
  if (macro != nullptr && table_holds_it) {
    macro->set_expanding(true);
    context.flagged = macro;
  } else if (macro != nullptr) {
    named_levels_.push_back(depth_ - 1);
  }
  return context.owned;
}

void Rescanner::pop_to(std::size_t depth) {
  for (std::size_t level = depth; level < depth_; ++level) {
    Context& context = contexts_[level];
    if (context.flagged != nullptr) context.flagged->set_expanding(false);
    context.flagged = nullptr;
  }
  while (!named_levels_.empty() && named_levels_.back() >= depth) named_levels_.pop_back();
  depth_ = depth;
}

void Rescanner::set_flags(std::size_t from_level, std::size_t to_level, bool expanding) {
  for (std::size_t level = from_level; level < to_level; ++level) {
    if (contexts_[level].flagged != nullptr) contexts_[level].flagged->set_expanding(expanding);
  }
}

bool Rescanner::disabled(const Macro* macro, std::string_view name, std::ptrdiff_t up_to_level) const {
  if (macro != nullptr && macro->expanding()) return true;
  for (const std::size_t level : named_levels_) {
    if (static_cast<std::ptrdiff_t>(level) > up_to_level) break;
    if (contexts_[level].name == name) return true;
  }
  return false;
}

Rescanner::Walk Rescanner::start(const Scope& scope) const {
  if (depth_ > scope.floor) return {static_cast<std::ptrdiff_t>(depth_) - 1, contexts_[depth_ - 1].pos};
  return {-1, source_next_};
}

const ExpToken* Rescanner::item(const Scope& scope, Walk& walk, bool through_directives) {
  for (;;) {
    if (walk.level < 0) return scope.source_below ? source_->at(walk.pos, through_directives) : nullptr;
    const Context& context = contexts_[static_cast<std::size_t>(walk.level)];
    if (walk.pos < context.tokens.size()) return &context.tokens[walk.pos];
    if (walk.level == static_cast<std::ptrdiff_t>(scope.floor)) {
      walk = {-1, source_next_};
      continue;
    }
    --walk.level;
    walk.pos = contexts_[static_cast<std::size_t>(walk.level)].pos;
  }
}

const ExpToken* Rescanner::peek_real(const Scope& scope, Walk& walk) {
  for (;;) {
    const ExpToken* token = item(scope, walk, false);
    if (token == nullptr || token->mark == Mark::none) return token;
    ++walk.pos;
  }
}

void Rescanner::take(const Scope& scope, const Walk& walk) {
  if (walk.level < 0) {
    pop_to(scope.floor);
    source_next_ = walk.pos;
  } else {
    pop_to(static_cast<std::size_t>(walk.level) + 1);
    contexts_[depth_ - 1].pos = walk.pos;
  }
}

void Rescanner::rescan(const Scope& scope) {
  std::vector<ExpToken>& out = *scope.out;
  while (depth_ > scope.floor) {
    Context& context = contexts_[depth_ - 1];
    if (context.pos == context.tokens.size()) {
      release_if_large(context.owned);
      pop_to(depth_ - 1);
      continue;
    }
    const std::size_t level = depth_ - 1;
    const std::size_t at = context.pos++;
    ExpToken token = context.tokens[at];
    if (out.size() == out.capacity()) expect_tokens(out, 2 * out.size());
    if (token.is_identifier() && !token.no_expand) {
      if (scope.in_condition && is_condition_operator(token.text)) {
        // From a macro's expansion, not an argument's.
        if (!context.name.empty() && token.text == "defined") [[unlikely]]
          warn_of_expanded_defined(token.line);
        out.push_back(token);
        emit_unexpanded_operand(scope, token.text == "defined");
        continue;
      }
      if (const Macro* macro = table_.find(token.text)) {
        if (macro->builtin() != Builtin::none) {
          if (try_builtin(scope, token, *macro)) continue;
        } else if (disabled(macro, token.text, static_cast<std::ptrdiff_t>(depth_) - 1)) {
          token.no_expand = true;
        } else if (try_use(scope, token, *macro)) {
          continue;
        }
      }
      // A try that failed may have read on into the next source chunk; the
      // context holds the token's text as it stands now.
      token.text = contexts_[level].tokens[at].text;
      token.fresh = false;
    } else if (token.mark == Mark::padding) {
      append_padding(out, token);
      continue;
    }
    out.push_back(token);
  }
}

bool Rescanner::try_use(const Scope& scope, const ExpToken& name, const Macro& macro) {
  if (macro.warned_at_use()) [[unlikely]]
    report_lexed_name(name, macro);
  if (!macro.function_like()) {
    const std::uint32_t group = new_group(name.text, macro);
    std::vector<ExpToken>& tokens = push_context(&macro);
    push_mark(tokens, Mark::open, group, name.own_space);
    substituter_.substitute(macro, nullptr, name.line, name.space_before, tokens);
    push_mark(tokens, Mark::close, group);
    contexts_[depth_ - 1].tokens = tokens;
    for (const SubstitutionProblem& problem : substituter_.problems())
      report_problem(problem, macro, name.line);
    return true;
  }
  if (call_depth_ == calls_.size()) calls_.push_back(std::make_unique<CallScratch>());
  CallScratch& call = *calls_[call_depth_];
  call.clear();
  call.macro = &macro;
  call.name_token = name;
  call.name.assign(name.text);
  // Looking for "(" may read on into the next source chunk, which replaces the
  // bytes the name points into and may act on a directive: as a call in
  // progress, its name and macro are kept when that happens.
  ++call_depth_;
  Walk walk = start(scope);
  const ExpToken* next = peek_real(scope, walk);
  if (next == nullptr || !next->is("(")) {
    --call_depth_;
    // Not at the end of an argument being expanded: traditional C expands
    // none before its use.
    if (next != nullptr) warn_of_use_without_arguments(name.line, macro);
    return false;
  }
  walk = start(scope);
  const bool complete = collect(scope, call, walk);
  --call_depth_;
  if (!complete) {
    std::string_view file = file_;
    std::uint32_t line = call.end_line;
    if (scope.source_below) source_->take_list_end(file, line);
    report_at(file, line, Severity::error,
              "unterminated argument list invoking macro \"" + std::string(call.name_token.text) + "\"");
  }
  if (!complete || !check_count(call)) {
    fail_use(scope, call, walk);
    return true;
  }
  take(scope, walk);
  source_end_ = std::max(source_end_, call.source_end);
  const Macro& used = *call.macro;
  const std::uint32_t group = new_group(call.name, used);
  for (const auto& [deferred, from] : call.deferred) groups_[deferred].text.append(call.name, from);

  ++call_depth_;
  find_expanded_arguments(used, call.needed);
  if (call.expansions.size() < used.param_count()) call.expansions.resize(used.param_count());
  for (std::size_t index = 0; index < used.param_count(); ++index) call.expansions[index].clear();
  for (const std::size_t index : call.needed) {
    expect_tokens(call.expansions[index], call.raw(index).size());
    // The argument is read where it lies: rescanning changes no token of a level.
    push_context(nullptr);
    const std::size_t level = depth_ - 1;
    contexts_[level].tokens = call.raw(index);
    rescan(Scope{level, false, &call.expansions[index], scope.in_condition, false});
  }
  if (call.needed.size() < used.param_count()) report_names_not_expanded(call);
  --call_depth_;

  std::vector<ExpToken>& tokens = push_context(&used, !call.kept);
  // The expansion takes at least the expanded arguments' tokens.
  std::size_t expected = used.body().size() + call.hoisted.size() + call.deferred.size() + 2;
  for (const std::vector<ExpToken>& expansion : call.expansions) expected += expansion.size();
  expect_tokens(tokens, expected);
  for (std::uint32_t hoisted : call.hoisted) tokens.push_back(mark_token(Mark::open, hoisted));
  push_mark(tokens, Mark::open, group, call.name_token.own_space);
  substituter_.substitute(used, &call, call.name_token.line, call.name_token.space_before, tokens);
  push_mark(tokens, Mark::close, group);
  release_if_large(call.tokens);
  for (std::vector<ExpToken>& expansion : call.expansions) release_if_large(expansion);
  for (const auto& deferred : call.deferred) tokens.push_back(mark_token(Mark::close, deferred.first));
  contexts_[depth_ - 1].tokens = tokens;
  for (const SubstitutionProblem& problem : substituter_.problems())
    report_problem(problem, used, call.name_token.line);
  return true;
}

bool Rescanner::try_builtin(const Scope& scope, const ExpToken& name, const Macro& macro) {
  const Builtin kind = macro.builtin();
  if (kind == Builtin::pragma) return try_pragma(scope, name, macro);
  if (kind == Builtin::operator_name) return try_header_test(scope, name, macro);
  if (kind == Builtin::feature_test) return try_feature_test(scope, name, macro);
  if (report_lexed_name(name, macro)) return false;
  const ExpToken value = builtin_value(name, kind);
  const std::uint32_t group = new_group(name.text, macro);
  push_mark(*scope.out, Mark::open, group, name.own_space);
  scope.out->push_back(value);
  push_mark(*scope.out, Mark::close, group);
  return true;
}

void Rescanner::report_problem(const SubstitutionProblem& problem, const Macro& macro,
                               std::uint32_t use_line) {
  const DefinitionFile& definition = table_.definition_files()[macro.definition_file()];
  if (problem.in_definition && definition.has_lines && diagnostic_rules().track_macro_expansion) {
    report_at(definition.name, macro.definition_line(), problem.severity, problem.message);
  } else {
    report_at(file_, problem.line != 0 ? problem.line : use_line, problem.severity, problem.message);
  }
}

bool Rescanner::report_lexed_name(const ExpToken& name, const Macro& macro) {
  const bool poisoned = macro.builtin() == Builtin::poisoned;
  if (name.fresh && poisoned) report(name.line, "attempt to use poisoned \"" + std::string(name.text) + "\"");
  if (name.fresh && macro.warned_at_use())
    report(name.line, variadic_name_warning(name.text, false), Severity::pedwarn);
  return poisoned || macro.builtin() == Builtin::variadic_name;
}

ExpToken Rescanner::builtin_value(const ExpToken& name, Builtin kind) {
  BuiltinState& state = builtins_ != nullptr ? *builtins_ : own_builtins_;
  const std::string_view file = state.in_file() ? state.presumed_file() : file_;
  ExpToken value = name;
  value.no_expand = false;
  value.from_source = false;
  value.stable = true;
  value.kind = TokenKind::string_literal;
  std::string error;
  switch (kind) {
    case Builtin::file: text_ = quoted_file_name(file); break;
    case Builtin::file_name: text_ = quoted_file_name(file_name_part(file)); break;
    case Builtin::base_file:
      text_ = quoted_file_name(state.base_file().empty() ? file_ : state.base_file());
      break;
    case Builtin::date: text_ = state.date(error); break;
    case Builtin::time: text_ = state.time(error); break;
    case Builtin::timestamp: text_ = state.timestamp(); break;
    default:
      value.kind = TokenKind::pp_number;
      text_ = std::to_string(kind == Builtin::line      ? std::uint64_t{state.presumed_line(name.line)}
                             : kind == Builtin::counter ? state.next_counter()
                                                        : std::uint64_t{state.include_level()});
      break;
  }
  if (!error.empty()) report(name.line, error);
  value.text = arena_.store(text_);
  return value;
}

void Rescanner::emit_unexpanded_operand(const Scope& scope, bool bare_name_allowed) {
  Walk walk = start(scope);
  const ExpToken* token = peek_real(scope, walk);
  if (token == nullptr || (!bare_name_allowed && !token->is("("))) return;
  // `defined X`, `defined ( X )`, `__has_include ( ... )`: copied as they stand.
  int nesting = 0;
  do {
    ExpToken copy = *token;
    copy.no_expand = true;
    scope.out->push_back(copy);
    if (copy.is("(")) ++nesting;
    if (copy.is(")")) --nesting;
    ++walk.pos;
    take(scope, walk);
  } while (nesting > 0 && (token = peek_real(scope, walk)) != nullptr);
}

bool Rescanner::expand_source_use(SourceTokens& source, std::size_t index, std::vector<ExpToken>& out,
                                  std::size_t& end) {
  source_ = &source;
  outermost_out_ = &out;
  pop_to(0);
  group_count_ = 0;
  groups_stable_ = 0;
  source_next_ = index + 1;
  padding_ = true;
  substituter_.set_padding(true);
  const ExpToken name = *source.at(index, true);
  source_end_ = name.source_end;
  const Scope scope{0, true, &out, false, true};
  const Macro* macro = table_.find(name.text);
  bool used = false;
  if (macro != nullptr) {
    used =
        macro->builtin() != Builtin::none ? try_builtin(scope, name, *macro) : try_use(scope, name, *macro);
  }
  if (used) rescan(scope);
  end = source_next_;
  outermost_out_ = nullptr;
  return used;
}

void Rescanner::expand_all(std::vector<ExpToken>& tokens, ExpandedFor use, std::vector<ExpToken>& out) {
  pop_to(0);
  group_count_ = 0;
  groups_stable_ = 0;
  push_context(nullptr);
  contexts_[0].tokens = tokens;
  padding_ = use == ExpandedFor::code;
  substituter_.set_padding(use == ExpandedFor::code || use == ExpandedFor::header_name);
  substituter_.set_marks_system_macros(use == ExpandedFor::condition && warns_of_number_forms());
  rescan(Scope{0, false, &out, use == ExpandedFor::condition, use == ExpandedFor::code});
}

}  // namespace sornik::cmode
