// The directives that change nothing the listing shows: #error and #warning,
// #ident, #sccs, #assert and #unassert, checked as the compiler checks them;
// the warnings of GNU directives.
#include <string>

#include "cmode/pp/preprocessor.h"

namespace sornik::cmode {

namespace {

// The tokens of a directive after its name, joined with single blanks where
// the source had white space.
std::string joined(std::span<const Token> tokens) {
  std::string text;
  for (const Token& token : tokens) {
    if (token.space_before && !text.empty()) text += ' ';
    text.append(token.text);
  }
  return text;
}

}  // namespace

void Preprocessor::message(std::string_view directive, std::span<const Token> rest) {
  if (directive == "warning") gnu_directive(directive);
  // Shown from a system header too.
  const SourcePlace place = presumed_place(frames_.back()->line);
  report_at(place.file, place.line, directive == "error" ? Severity::error : Severity::warning,
            "#" + std::string(directive) + " " + joined(rest), Warning::cpp);
}

void Preprocessor::gnu_directive(std::string_view name) {
  if (diagnostic_rules().pedantic) {
    report(Severity::pedwarn, "#" + std::string(name) + " is a GCC extension");
  } else if (name == "assert" || name == "unassert" || name == "import") {
    report(Severity::warning, "#" + std::string(name) + " is a deprecated GCC extension",
           Warning::deprecated);
  }
}

void Preprocessor::rare_directive(std::string_view name, std::span<const Token> rest) {
  report_lexed_names(rest);
  if (name == "ident" || name == "sccs") {
    gnu_directive(name);
    ident(name, rest);
  } else if (name == "assert" || name == "unassert") {
    gnu_directive(name);
    assertion(name, rest);
  } else {
    report(Severity::error, "invalid preprocessing directive #" + std::string(name));
  }
}

void Preprocessor::ident(std::string_view name, std::span<const Token> rest) {
  if (rest.empty() || rest[0].kind != TokenKind::string_literal || rest[0].text.front() != '"') {
    report(rest.empty() ? kAtLineEnd : rest[0].begin, Severity::error,
           "invalid #" + std::string(name) + " directive");
    return;
  }
  check_end("#" + std::string(name), rest.subspan(1));
}

void Preprocessor::assertion(std::string_view name, std::span<const Token> rest) {
  AssertionForm form;
  if (const std::string error = Assertions::read(rest, 0, form); !error.empty()) {
    report(Severity::error, error);
    return;
  }
  // #unassert may drop every answer of a predicate; #assert gives one.
  if (!form.has_answer && (name == "assert" || form.end < rest.size())) {
    report(Severity::error, "missing '(' after predicate");
    return;
  }
  check_end("#" + std::string(name), rest.subspan(form.end));
  if (name == "assert") {
    assertions_.add(form);
  } else {
    assertions_.remove(form);
  }
}

}  // namespace sornik::cmode
