// The conditional directives (#if, #ifdef, #ifndef, #elif, #elifdef,
// #elifndef, #else, #endif): the stack of groups, the include guard they may
// make, and the values of their conditions.
#include "cmode/pp/preprocessor.h"

namespace sornik::cmode {

void Preprocessor::conditional_directive(FileFrame& frame, std::string_view name,
                                         std::span<const Token> rest) {
  const bool at_file_level = conditionals_.size() == frame.conditional_base;
  if (name == "if" || name == "ifdef" || name == "ifndef") {
    if (frame.guard == FileFrame::Guard::expect_ifndef) {
      // A header whose text all stands inside "#ifndef X" (or "#if !defined X")
      // is skipped when it is included again with X defined.
      const bool negated_defined =
          name == "if" && rest.size() >= 3 && rest[0].is("!") && rest[1].text == "defined";
      const std::span<const Token> operand = negated_defined ? rest.subspan(2) : rest;
      const bool parenthesized =
          negated_defined && operand.size() == 3 && operand[0].is("(") && operand[2].is(")");
      if (at_file_level && ((name == "ifndef" && rest.size() == 1) ||
                            (negated_defined && (operand.size() == 1 || parenthesized)))) {
        frame.guard = FileFrame::Guard::inside;
        frame.guard_macro = parenthesized ? operand[1].text : operand[0].text;
      } else {
        frame.guard = FileFrame::Guard::none;
      }
    }
    bool value;
    if (name == "if") {
      value = if_value(rest);
    } else {
      value = ifdef_value(name == "ifdef" ? "#ifdef" : "#ifndef", rest, name == "ifdef");
    }
    const std::string_view directive = name == "if" ? "#if" : name == "ifdef" ? "#ifdef" : "#ifndef";
    conditionals_.push_back({frame.line, false, value, false, directive});
    set_skipping(!value);
    return;
  }
  if (at_file_level) {
    report(Severity::error, "#" + std::string(name) + " without #if");
    return;
  }
  if (name == "else" || name == "endif") {
    else_or_endif(frame, name, rest);
    return;
  }
  Conditional& open = conditionals_.back();
  if (open.seen_else) {
    report(Severity::error, "#" + std::string(name) + " after #else");
    report_on(open.line, Severity::error, "the conditional began here");
  }
  if (conditionals_.size() == frame.conditional_base + 1 && frame.guard == FileFrame::Guard::inside) {
    frame.guard = FileFrame::Guard::none;
  }
  if (open.was_skipping) return;
  // Before C2X, GNU C takes #elifdef where it changes what is read.
  const bool extension = name != "elif" && !lexing_dialect().elifdef && diagnostic_rules().pedantic;
  if (open.taken) {
    // Only the directive that ends the group read warns.
    if (extension && !skipping_) report_elifdef_extension(name);
    set_skipping(true);
    return;
  }
  bool value;
  if (name == "elif") {
    value = if_value(rest);
  } else {
    value = ifdef_value(name == "elifdef" ? "#elifdef" : "#elifndef", rest, name == "elifdef");
    if (extension && value) report_elifdef_extension(name);
  }
  open.taken = value;
  set_skipping(!value);
}

void Preprocessor::report_elifdef_extension(std::string_view name) {
  report(Severity::pedwarn, "#" + std::string(name) + " before " +
                                (lexing_dialect().cplusplus ? "C++23" : "C2X") + " is a GCC extension");
}

void Preprocessor::else_or_endif(FileFrame& frame, std::string_view name, std::span<const Token> rest) {
  Conditional& open = conditionals_.back();
  if (name == "else") {
    if (open.seen_else) {
      report(Severity::error, "#else after #else");
      report_on(open.line, Severity::error, "the conditional began here");
    }
    open.seen_else = true;
    if (open.was_skipping) return;
    check_end("#else", rest);
    set_skipping(open.taken);
    open.taken = true;
    if (conditionals_.size() == frame.conditional_base + 1 && frame.guard == FileFrame::Guard::inside) {
      frame.guard = FileFrame::Guard::none;
    }
    return;
  }
  if (!open.was_skipping) check_end("#endif", rest);
  set_skipping(open.was_skipping);
  conditionals_.pop_back();
  if (conditionals_.size() == frame.conditional_base && frame.guard == FileFrame::Guard::inside) {
    frame.guard = FileFrame::Guard::after_endif;
  }
}

bool Preprocessor::ifdef_value(std::string_view directive, std::span<const Token> rest, bool want_defined) {
  if (rest.empty()) {
    report(kAtLineEnd, Severity::error, "no macro name given in " + std::string(directive) + " directive");
    return false;
  }
  if (rest[0].kind != TokenKind::identifier) {
    report(rest[0], Severity::error, "macro names must be identifiers");
    return false;
  }
  const Macro* macro = table_.find(rest[0].text);
  // Neither #ifdef nor #ifndef takes its group for a poisoned name.
  if (macro != nullptr && poisoned(*macro)) return false;
  if (macro != nullptr && variadic_stand_in(*macro)) macro = nullptr;
  if (macro != nullptr) macro->mark_used();
  check_end(directive, rest.subspan(1));
  return (macro != nullptr) == want_defined;
}

bool Preprocessor::needs_expansion(std::span<const Token> tokens) const {
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != TokenKind::identifier) continue;
    const std::string_view name = tokens[i].text;
    if (name == "defined") {
      // Its operand, X or (X), is never replaced.
      std::size_t operand = i + 1;
      if (operand < tokens.size() && tokens[operand].is("(")) ++operand;
      if (operand < tokens.size() && tokens[operand].kind == TokenKind::identifier) i = operand;
      continue;
    }
    // The feature tests that code lines replace are operators here.
    const Macro* macro = table_.replaces(name) ? table_.find(name) : nullptr;
    if (macro != nullptr && macro->builtin() != Builtin::feature_test) return true;
  }
  return false;
}

bool Preprocessor::if_value(std::span<const Token> rest) {
  if (!needs_expansion(rest)) return condition_value(rest, rest);
  if (condition_expansion_.expand(rest, expanded_)) return condition_value(expanded_, rest);
  const FileFrame& frame = *frames_.back();
  expander_.expand_directive(rest, ExpandedFor::condition, {frame.path, frame.line}, expanded_);
  // The tokens keep their texts here, as __has_include may expand again.
  keep_texts(expanded_, expanded_texts_);
  return condition_value(expanded_, rest);
}

bool Preprocessor::condition_value(std::span<const Token> tokens, std::span<const Token> written) {
  const Condition condition = evaluate_condition(tokens, *this);
  // An assertion test leaves a `#` that no expression takes: they are rare,
  // so they are looked for only then.
  if (!condition.error.empty() && Assertions::tested_in(written)) [[unlikely]]
    return assertion_value(written);
  for (const Finding& warning : condition.warnings)
    report(warning.at, warning.severity, warning.text, warning.warning);
  if (!condition.error.empty()) report(condition.error_at, Severity::error, condition.error);
  return condition.value;
}

bool Preprocessor::assertion_value(std::span<const Token> written) {
  std::vector<Finding> findings;
  const bool sound = assertions_.resolve(written, asserted_, findings, !skipping_);
  for (const Finding& finding : findings) report(finding.severity, finding.text, finding.warning);
  return sound && if_value(asserted_);
}

}  // namespace sornik::cmode
