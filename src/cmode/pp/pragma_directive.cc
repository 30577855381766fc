// The #pragma directives the preprocessor acts on (once, push_macro and
// pop_macro, GCC poison, warning, error, system_header and dependency), and
// the poisoned names.
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <utility>

#include "cmode/pp/preprocessor.h"
#include "common/byte_class.h"
#include "common/name_hash.h"

namespace sornik::cmode {

bool Preprocessor::pragma(FileFrame& frame, std::span<const Token> rest) {
  if (rest.empty()) return false;
  // The names that GCC poison takes are no uses.
  const bool poisons = rest.size() >= 2 && rest[0].text == "GCC" && rest[1].text == "poison";
  if (!poisons) report_lexed_names(rest);
  const std::string_view name = rest[0].text;
  const bool main_file = frame.is_source || frame.header == nullptr;
  if (name == "once") {
    if (main_file) {
      report(Severity::warning, "#pragma once in main file");
    } else {
      once_.insert(frame.header);
    }
    check_end("#pragma", rest.subspan(1));
    return true;
  }
  if (name == "push_macro" || name == "pop_macro") {
    push_or_pop_macro(name, rest.subspan(1));
    return true;
  }
  if (name != "GCC" || rest.size() < 2) return false;
  const std::string_view gcc_name = rest[1].text;
  const std::span<const Token> operands = rest.subspan(2);
  if (gcc_name == "poison") {
    poison(operands);
  } else if (gcc_name == "warning" || gcc_name == "error") {
    // A narrow string literal; what follows it is not looked at.
    if (operands.empty() || operands[0].kind != TokenKind::string_literal || operands[0].text[0] != '"') {
      report(Severity::error, "invalid \"#pragma GCC " + std::string(gcc_name) + "\" directive");
    } else {
      const std::string_view text = operands[0].text;
      report(gcc_name == "warning" ? Severity::warning : Severity::error, text.substr(1, text.size() - 2));
    }
  } else if (gcc_name == "system_header") {
    if (main_file) {
      report(Severity::warning, "#pragma system_header ignored outside include file");
    } else {
      check_end("#pragma", operands);
      // The rest of the header is a system header's text, as after a line
      // marker's flag 3: its warnings are not shown, its macros are a
      // system header's.
      if (!frame.system_header) {
        frame.system_header = true;
        set_definition_file(frame);
      }
    }
  } else if (gcc_name == "dependency") {
    dependency(frame, operands);
  } else {
    return false;
  }
  return true;
}

void Preprocessor::dependency(const FileFrame& frame, std::span<const Token> operands) {
  std::string name;
  std::size_t taken = 0;
  const HeaderForm form = header_name_of_tokens(operands, name, taken);
  if (form == HeaderForm::none || form == HeaderForm::unended) {
    report(Severity::error, "#pragma dependency expects \"FILENAME\" or <FILENAME>");
    return;
  }
  const bool quoted = form == HeaderForm::quoted;
  const FoundHeader found = search_.find(name, quoted, frame.dir, quoted ? 0 : search_.bracket_start());
  if (found.file == nullptr) {
    report(Severity::error, name + ": " + std::strerror(found.error));
    return;
  }
  // As the compiler compares them: by whole seconds.
  struct stat current {};
  struct stat named {};
  if (stat(std::string(frame.path).c_str(), &current) != 0 || stat(found.file->path.c_str(), &named) != 0 ||
      named.st_mtime <= current.st_mtime) {
    return;
  }
  report(Severity::warning, "current file is older than " + name);
  if (taken == operands.size()) return;
  // The text after the name is the warning's own.
  std::string text;
  for (const Token& token : operands.subspan(taken)) {
    if (token.space_before && !text.empty()) text.push_back(' ');
    text.append(token.text);
  }
  report(Severity::warning, text);
}

namespace {

// The macro that push_macro and pop_macro of the string `key` act on, as
// gcc 12 reads it: the first character and the ASCII letters, digits and
// underscores after it ("x" for "x$"); none for a string that begins with a
// universal character name or a byte beyond ASCII, which no macro's name
// can. A pop_macro finds the push of the same string.
std::string_view pushed_macro_name(std::string_view key) {
  const bool starts_name =
      !key.empty() && ((is_name_byte(key[0]) && (key[0] < '0' || key[0] > '9')) || key[0] == '$');
  if (!starts_name) return {};
  std::size_t end = 1;
  while (end < key.size() && is_name_byte(key[end])) ++end;
  return key.substr(0, end);
}

}  // namespace

void Preprocessor::push_or_pop_macro(std::string_view name, std::span<const Token> operands) {
  // ( "name" ): the tokens up to a wrong one are read, any after it are extra.
  const auto fits = [&](std::size_t index) {
    const Token& token = operands[index];
    if (index == 1) return token.kind == TokenKind::string_literal && token.text[0] == '"';
    return token.is(index == 0 ? "(" : ")");
  };
  std::size_t read = 0;
  bool valid = true;
  for (; valid && read < 3; ++read) valid = read < operands.size() && fits(read);
  if (!valid) report(Severity::error, "invalid #pragma " + std::string(name) + " directive");
  if (read < operands.size()) report_extra_tokens("#pragma", operands[read]);
  if (!valid) return;
  const std::string key(operands[1].text.substr(1, operands[1].text.size() - 2));
  const std::string_view macro_name = pushed_macro_name(key);
  if (name == "push_macro") {
    const Macro* macro = macro_name.empty() ? nullptr : table_.find(macro_name);
    pushed_macros_[key].push_back(macro != nullptr ? Macro::copy(*macro) : nullptr);
    return;
  }
  if (macro_name.empty()) return;
  const auto pushed = pushed_macros_.find(key);
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
  const std::string_view outer = std::exchange(directive_line_, text);
  const bool own = pragma(frame, tokens);
  directive_line_ = outer;
  frame.line = directive_line;
  return own;
}

void Preprocessor::poison(std::span<const Token> names) {
  for (const Token& name : names) {
    if (name.kind != TokenKind::identifier) {
      report(name, Severity::error, "invalid #pragma GCC poison directive");
      return;
    }
    const Macro* macro = table_.find(name.text);
    if (macro != nullptr && macro->builtin() == Builtin::poisoned) continue;
    if (macro != nullptr && !variadic_stand_in(*macro))
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

void Preprocessor::report_lexed_names(std::span<const Token> tokens) {
  for (const Token& token : tokens) {
    if (token.kind != TokenKind::identifier || !table_.may_hold(token.text)) continue;
    const Macro* macro = table_.find(token.text);
    if (macro != nullptr && !poisoned(*macro)) variadic_stand_in(*macro);
  }
}

}  // namespace sornik::cmode
