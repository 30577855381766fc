// The answers of GCC's assertions and the reading of their forms.
#include "cmode/condition/assertions.h"

#include "cmode/macro/macro_table.h"

namespace sornik::cmode {

void Assertions::reset(const MacroTable& table) {
  answers_.clear();
  const auto defined = [&](std::string_view name) {
    return table.find(name) != nullptr;
  };
  if (defined("__gnu_linux__")) answers_["system"] = {"linux", "unix", "posix"};
  if (defined("__x86_64__")) {
    answers_["cpu"] = {"x86_64"};
    answers_["machine"] = {"x86_64"};
  } else if (defined("__i386__")) {
    answers_["cpu"] = {"i386"};
    answers_["machine"] = {"i386"};
  }
}

std::string Assertions::read(std::span<const Token> tokens, std::size_t pos, AssertionForm& form) {
  if (pos >= tokens.size()) return "assertion without predicate";
  if (tokens[pos].kind != TokenKind::identifier) return "predicate must be an identifier";
  form.predicate = tokens[pos].text;
  form.has_answer = false;
  form.answer.clear();
  form.end = pos + 1;
  if (form.end == tokens.size() || !tokens[form.end].is("(")) return {};
  // As in the compiler, the answer ends at the first ')'.
  std::size_t close = form.end + 1;
  while (close < tokens.size() && !tokens[close].is(")")) ++close;
  if (close == tokens.size()) return "missing ')' to complete answer";
  if (close == form.end + 1) return "predicate's answer is empty";
  for (std::size_t i = form.end + 1; i < close; ++i) {
    if (i > form.end + 1) form.answer += tokens[i].space_before ? '\n' : '\0';
    form.answer += tokens[i].text;
  }
  form.has_answer = true;
  form.end = close + 1;
  return {};
}

void Assertions::add(const AssertionForm& form) { answers_[std::string(form.predicate)].insert(form.answer); }

void Assertions::remove(const AssertionForm& form) {
  const auto found = answers_.find(form.predicate);
  if (found == answers_.end()) return;
  if (form.has_answer) {
    found->second.erase(form.answer);
  } else {
    found->second.clear();
  }
  if (found->second.empty()) answers_.erase(found);
}

bool Assertions::holds(const AssertionForm& form) const {
  const auto found = answers_.find(form.predicate);
  if (found == answers_.end()) return false;
  return !form.has_answer || found->second.count(form.answer) != 0;
}

bool Assertions::resolve(std::span<const Token> tokens, std::vector<Token>& out,
                         std::vector<Finding>& findings, bool warn) const {
  out.clear();
  for (std::size_t i = 0; i < tokens.size();) {
    const Token& token = tokens[i];
    if (token.kind != TokenKind::punctuator || (token.text != "#" && token.text != "%:")) {
      out.push_back(token);
      ++i;
      continue;
    }
    if (warn) {
      findings.push_back(
          diagnostic_rules().pedantic
              ? Finding{Severity::pedwarn, "assertions are a GCC extension"}
              : Finding{Severity::warning, "assertions are a deprecated extension", Warning::deprecated});
    }
    AssertionForm form;
    std::string error = read(tokens, i + 1, form);
    if (!error.empty()) {
      findings.push_back({Severity::error, std::move(error)});
      return false;
    }
    Token value = token;
    value.kind = TokenKind::pp_number;
    value.text = holds(form) ? "1" : "0";
    value.end = tokens[form.end - 1].end;
    out.push_back(value);
    i = form.end;
  }
  return true;
}

}  // namespace sornik::cmode
