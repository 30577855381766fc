// #ident, #sccs, #assert and #unassert: checked as the compiler checks them;
// they change nothing the listing shows. The warnings of GNU directives.
#include <string>

#include "cmode/pp/preprocessor.h"

namespace sornik::cmode {

void Preprocessor::gnu_directive(std::string_view name) {
  if (diagnostic_rules().pedantic) {
    report(Severity::pedwarn, "#" + std::string(name) + " is a GCC extension");
  } else if (name == "assert" || name == "unassert" || name == "import") {
    report(Severity::warning, "#" + std::string(name) + " is a deprecated GCC extension");
  }
}

void Preprocessor::rare_directive(std::string_view name, std::span<const Token> rest) {
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
    report(Severity::error, "invalid #" + std::string(name) + " directive");
    return;
  }
  check_end("#" + std::string(name), rest.subspan(1));
}

void Preprocessor::assertion(std::string_view name, std::span<const Token> rest) {
  if (rest.empty()) {
    report(Severity::error, "assertion without predicate");
    return;
  }
  if (rest[0].kind != TokenKind::identifier) {
    report(Severity::error, "predicate must be an identifier");
    return;
  }
  std::size_t after = 1;
  if (after < rest.size() && rest[after].is("(")) {
    // As in the compiler, the answer ends at the first ')'.
    while (after < rest.size() && !rest[after].is(")")) ++after;
    if (after == rest.size()) {
      report(Severity::error, "missing ')' to complete answer");
      return;
    }
    ++after;
  } else if (name == "assert" || after < rest.size()) {
    // #unassert may drop every answer of a predicate; #assert gives one.
    report(Severity::error, "missing '(' after predicate");
    return;
  }
  check_end("#" + std::string(name), rest.subspan(after));
}

}  // namespace sornik::cmode
