// The #pragma directives the preprocessor acts on (once, push_macro and
// pop_macro, GCC poison, GCC warning and error), and the poisoned names.
#include <string>

#include "cmode/pp/preprocessor.h"
#include "common/name_hash.h"

namespace sornik::cmode {

bool Preprocessor::pragma(FileFrame& frame, std::span<const Token> rest) {
  if (rest.empty()) return false;
  const std::string_view name = rest[0].text;
  if (name == "once") {
    if (frame.is_source || frame.header == nullptr) {
      report(Severity::warning, "#pragma once in main file");
    } else {
      once_.insert(frame.header);
    }
    return true;
  }
  if (name == "push_macro" || name == "pop_macro") {
    push_or_pop_macro(name, rest);
    return true;
  }
  if (name != "GCC" || rest.size() < 2) return false;
  const std::string_view gcc_name = rest[1].text;
  if (gcc_name == "poison") {
    poison(rest.subspan(2));
  } else if (gcc_name == "warning" || gcc_name == "error") {
    if (rest.size() >= 3 && rest[2].kind == TokenKind::string_literal) {
      const std::string_view text = rest[2].text;
      const std::size_t open = text.find('"');
      report(gcc_name == "warning" ? Severity::warning : Severity::error,
             text.substr(open + 1, text.size() - open - 2));
    }
  } else if (gcc_name != "system_header" && gcc_name != "dependency") {
    return false;
  }
  return true;
}

void Preprocessor::push_or_pop_macro(std::string_view name, std::span<const Token> rest) {
  if (rest.size() < 4 || !rest[1].is("(") || rest[2].kind != TokenKind::string_literal ||
      rest[2].text.front() != '"' || !rest[3].is(")")) {
    report(Severity::error, "invalid #pragma " + std::string(name) + " directive");
    return;
  }
  const std::string macro_name(rest[2].text.substr(1, rest[2].text.size() - 2));
  if (name == "push_macro") {
    const Macro* macro = table_.find(macro_name);
    pushed_macros_[macro_name].push_back(macro != nullptr ? Macro::copy(*macro) : nullptr);
    return;
  }
  const auto pushed = pushed_macros_.find(macro_name);
  if (pushed == pushed_macros_.end() || pushed->second.empty()) return;
  MacroPtr saved = std::move(pushed->second.back());
  pushed->second.pop_back();
  if (saved) {
    const std::uint64_t name_hash = hash_name(saved->name());
    set_macro(std::move(saved), false, name_hash);
  } else {
    remove_macro(macro_name);
  }
}

bool Preprocessor::pragma_operator(std::string_view text, std::uint32_t line) {
  if (frames_.empty()) return false;
  FileFrame& frame = *frames_.back();
  // The directive may be the one being read (an #if that holds the operator):
  // its tokens stay as they are.
  std::vector<Token> tokens;
  Lexer lexer;
  lexer.lex(text, tokens);
  const std::uint32_t directive_line = frame.line;
  frame.line = line;
  const bool own = pragma(frame, tokens);
  frame.line = directive_line;
  return own;
}

void Preprocessor::poison(std::span<const Token> names) {
  for (const Token& name : names) {
    if (name.kind != TokenKind::identifier) {
      report(Severity::error, "invalid #pragma GCC poison directive");
      return;
    }
    const Macro* macro = table_.find(name.text);
    if (macro != nullptr && macro->builtin() == Builtin::poisoned) continue;
    if (macro != nullptr)
      report(Severity::warning, "poisoning existing macro \"" + std::string(name.text) + "\"");
    // The name's entry stands for the poison: every use of the name meets it.
    MacroShape shape;
    shape.name = name.text;
    shape.builtin = Builtin::poisoned;
    set_macro(Macro::make(shape), false, hash_name(name.text));
  }
}

void Preprocessor::report_poisoned(const Macro& macro) {
  report(Severity::error, "attempt to use poisoned \"" + std::string(macro.name()) + "\"");
}

}  // namespace sornik::cmode
