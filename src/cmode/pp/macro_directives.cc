// #define and #undef acting on the macro table: the macros they make and
// remove, what a unit undoes, and the compiler's warnings about them; the
// predefined macros and -D/-U, read as such directives.
#include <algorithm>
#include <span>

#include "cmode/lex/normalization.h"
#include "cmode/lex/universal_names.h"
#include "cmode/macro/builtin_macros.h"
#include "cmode/pp/define_directive.h"
#include "cmode/pp/preprocessor.h"

namespace sornik::cmode {

namespace {

// Predefined macros whose #undef the C compiler warns about.
constexpr std::string_view kWarnOnUndef[] = {"__STDC__", "__STDC_HOSTED__", "__STDC_VERSION__"};

template <std::size_t N>
bool one_of(std::string_view name, const std::string_view (&names)[N]) {
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

}  // namespace

void Preprocessor::set_macro(MacroPtr macro, bool warn_if_different, std::uint64_t name_hash) {
  const Macro* added = macro.get();
  MacroPtr old = table_.replace(std::move(macro), name_hash);
  if (old != nullptr && old->builtin() == Builtin::poisoned) {
    // A poisoned name is never defined.
    report_poisoned(*old);
    table_.replace(std::move(old), name_hash);
    return;
  }
  // The stand-in of __VA_ARGS__ or __VA_OPT__ is no definition to differ from.
  const bool redefined = old != nullptr && old->builtin() != Builtin::variadic_name;
  if (redefined && unused_macro_warnings_) [[unlikely]]
    warn_if_unused(*old);
  if (warn_if_different && redefined && (!same_definition(*old, *added) || guarded(*old))) {
    report(Severity::pedwarn, quoted(added->name()) + " redefined", change_warning(*old));
  }
  if (in_unit_) changes_.push_back({std::string(added->name()), std::move(old)});
}

void Preprocessor::remove_macro(std::string_view name) {
  MacroPtr old = table_.remove(name);
  // __VA_ARGS__ and __VA_OPT__ get their stand-in back.
  if (old != nullptr && old->warned_at_use()) [[unlikely]]
    table_.define(make_builtin(*find_builtin(name)));
  if (in_unit_ && old) changes_.push_back({std::string(name), std::move(old)});
}

void Preprocessor::define(std::span<const Token> rest) { add_definition(parse_define(rest), 0); }

void Preprocessor::check_define_characters(std::string_view define_operands) {
  lexer_.lex(define_operands, tokens_);
  const auto base = static_cast<std::uint32_t>(define_operands.data() - directive_line_.data());
  for (Token& token : tokens_) {
    token.begin += base;
    report_token_characters(token);
  }
}

void Preprocessor::check_directive_characters() {
  // A header name is one token whose characters are not checked.
  const std::string_view name = tokens_[1].text;
  if (name == "include" || name == "include_next" || name == "import") return;
  for (const Token& token : std::span<const Token>(tokens_).subspan(1)) report_token_characters(token);
}

void Preprocessor::report_token_characters(const Token& token) {
  if ((token.kind == TokenKind::identifier || token.kind == TokenKind::pp_number) &&
      takes_dollar_warning(token.text)) [[unlikely]]
    report(token, Severity::pedwarn, "'$' in identifier or number");
  if ((token.kind == TokenKind::identifier || token.kind == TokenKind::pp_number) &&
      spells_extended_characters(token.text)) {
    const std::string errors = identifier_character_errors(token.text);
    for (std::size_t start = 0; start < errors.size();) {
      const std::size_t end = errors.find('\n', start);
      report(Severity::error, errors.substr(start, end - start));
      start = end + 1;
    }
  }
  if ((token.kind != TokenKind::identifier && token.kind != TokenKind::pp_number) ||
      diagnostic_rules().normalized == NormalForm::none || !spells_extended_characters(token.text))
    return;
  const std::string warning = normalization_warning(token.text, token.kind, diagnostic_rules().normalized);
  if (!warning.empty()) report(token, normalization_severity(), warning, Warning::normalized);
}

void Preprocessor::add_definition(DefineParse parse, std::uint32_t base) {
  const auto place = [base](std::uint32_t at) {
    return at == kAtLineEnd ? at : base + at;
  };
  if (!parse.macro) {
    report(place(parse.error_at), Severity::error, parse.error);
    return;
  }
  for (const Finding& warning : parse.warnings)
    report(place(warning.at), warning.severity, warning.text, warning.warning);
  if (traditional_warnings_ && parse.macro->param_count() != 0) [[unlikely]]
    check_traditional_stringification(*parse.macro);
  const std::string_view name = parse.macro->name();
  if (name == "__has_include" || name == "__has_include_next") {
    report(Severity::error, quoted(name) + " cannot be used as a macro name");
    return;
  }
  const FileFrame& frame = *frames_.back();
  if (!expand_header_code_ && parse.macro->replacement().find("__COUNTER__") != std::string_view::npos) {
    expand_header_code_ = true;
  }
  parse.macro->set_definition_place(frame.definition_file, frame.line);
  set_macro(std::move(parse.macro), true, parse.name_hash);
}

void Preprocessor::undefine(std::span<const Token> rest) {
  if (rest.empty()) {
    report(kAtLineEnd, Severity::error, "no macro name given in #undef directive");
    return;
  }
  const Token& name = rest[0];
  if (name.kind != TokenKind::identifier) {
    report(name, Severity::error, "macro names must be identifiers");
    return;
  }
  if (name.text == "defined") {
    report(name, Severity::error, "\"defined\" cannot be used as a macro name");
    return;
  }
  const Macro* old = table_.find(name.text);
  if (old != nullptr && poisoned(*old)) return;
  if (old != nullptr && variadic_stand_in(*old)) old = nullptr;
  check_end("#undef", rest.subspan(1));
  if (old != nullptr && (guarded(*old) || one_of(name.text, kWarnOnUndef))) {
    report(Severity::warning, "undefining " + quoted(name.text), change_warning(*old));
  }
  if (old != nullptr && unused_macro_warnings_) warn_if_unused(*old);
  remove_macro(name.text);
}

void Preprocessor::report_variadic_name(std::string_view name) {
  report(Severity::pedwarn, variadic_name_warning(name, false));
}

void Preprocessor::warn_if_unused(const Macro& macro) {
  if (macro.used() || macro.definition_file() != source_definition_file_ || source_definition_file_ == 0)
    return;
  report_at(table_.definition_files()[macro.definition_file()].name, macro.definition_line(),
            Severity::warning, "macro " + quoted(macro.name()) + " is not used", Warning::unused_macros);
}

void Preprocessor::warn_of_unused_macros() {
  if (!unused_macro_warnings_) return;
  std::vector<const Macro*> unused;
  table_.for_each_macro([&](const Macro& macro) {
    if (!macro.used() && macro.definition_file() == source_definition_file_) unused.push_back(&macro);
  });
  std::sort(unused.begin(), unused.end(), [](const Macro* a, const Macro* b) {
    return a->definition_line() < b->definition_line();
  });
  for (const Macro* macro : unused) warn_if_unused(*macro);
}

Warning Preprocessor::change_warning(const Macro& macro) {
  // Only -Wbuiltin-macro-redefined turns a change of a built-in macro that
  // is warned of while it stands; the names warned of always keep theirs.
  const BuiltinMacro* builtin = find_builtin(macro.name());
  return macro.builtin() != Builtin::none && (builtin == nullptr || !builtin->always_warned)
             ? Warning::builtin_macro_redefined
             : Warning::none;
}

bool Preprocessor::guarded(const Macro& macro) {
  if (macro.builtin() != Builtin::none) return true;
  const BuiltinMacro* builtin = find_builtin(macro.name());
  return builtin != nullptr && builtin->always_warned;
}

void Preprocessor::define_predefined(const Dialect& dialect) {
  std::string text = "#define __STDC__ 1\n#define __STDC_HOSTED__ 1\n";
  if (!dialect.version.empty()) {
    text += dialect.cplusplus ? "#define __cplusplus " : "#define __STDC_VERSION__ ";
    text.append(dialect.version);
    text += '\n';
  }
  FileFrame frame;
  frame.path = "<built-in>";
  read_text(frame, text);
}

void Preprocessor::define_predefined(std::string_view definitions) {
  FileFrame frame;
  frame.path = "<built-in>";
  read_text(frame, definitions);
}

void Preprocessor::define_option(std::string_view definition) {
  std::string text = "#define ";
  const std::size_t equals = definition.find('=');
  if (equals == std::string_view::npos) {
    text.append(definition);
    text += " 1";
  } else {
    text.append(definition.substr(0, equals));
    text += ' ';
    text.append(definition.substr(equals + 1));
  }
  text += '\n';
  FileFrame frame;
  frame.path = kCommandLinePath;
  read_text(frame, text);
}

void Preprocessor::undefine_option(std::string_view name) {
  FileFrame frame;
  frame.path = kCommandLinePath;
  read_text(frame, "#undef " + std::string(name) + "\n");
}

}  // namespace sornik::cmode
