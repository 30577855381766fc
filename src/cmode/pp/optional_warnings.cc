// The warnings that only a -W option asks for: -Wtraditional's about
// directives and definitions (what a traditional C preprocessor reads
// otherwise), -Wcomment's about comments and -Wc++-compat's about C++'s
// operator names.
#include <algorithm>
#include <iterator>

#include "cmode/lex/byte_classes.h"
#include "cmode/lex/logical_lines.h"
#include "cmode/pp/preprocessor.h"

namespace sornik::cmode {

namespace {

template <std::size_t N>
bool listed(std::string_view name, const std::string_view (&names)[N]) {
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// The directives of traditional C, which it reads only with the # in the
// first column.
constexpr std::string_view kTraditionalDirectives[] = {"define", "include", "endif", "ifdef", "if",
                                                       "else",   "ifndef",  "undef", "line"};
// Those that came later, which an indented # hides from it (#elif aside).
constexpr std::string_view kLaterDirectives[] = {"error",        "pragma", "elifdef", "elifndef",
                                                 "include_next", "ident",  "import",  "assert",
                                                 "unassert",     "sccs",   "warning"};
// The names that are operators in C++.
constexpr std::string_view kCxxOperatorNames[] = {"and",    "and_eq", "bitand", "bitor", "compl", "not",
                                                  "not_eq", "or",     "or_eq",  "xor",   "xor_eq"};

// A letter, digit, `_` or `$`, as the byte classes tell.
bool is_identifier_byte(char c) { return (byte_row(c).token & (kIdStart | kDigit)) != 0; }

}  // namespace

void Preprocessor::check_line_options(std::string_view bytes, const LogicalLine& line,
                                      std::uint32_t first_line) {
  if (line.kind == LineKind::directive && traditional_warnings_) check_traditional_directive(bytes);
  if (skipping_) return;
  if (c90_comments_ != C90Comments::allowed && !frames_.back()->line_comment_reported)
    check_c90_comment(*frames_.back(), bytes, line.kind);
  const DiagnosticRules& rules = diagnostic_rules();
  if (rules.gives(Warning::cxx_compat) && !lexing_dialect().cplusplus) {
    lexer_.lex(bytes, tokens_);
    for (const Token& token : tokens_) {
      if (token.kind != TokenKind::identifier || !listed(token.text, kCxxOperatorNames)) continue;
      const auto newlines =
          std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(token.begin), '\n');
      report_on(first_line + static_cast<std::uint32_t>(newlines), Severity::warning,
                "identifier " + quoted(token.text) + " is a special operator name in C++",
                Warning::cxx_compat);
    }
  }
  if (rules.gives(Warning::comment)) check_comments(bytes, first_line, line.kind == LineKind::directive);
}

void Preprocessor::check_traditional_directive(std::string_view line) {
  std::string_view name = plain_directive_name(line);
  if (name.empty()) {
    lexer_.lex(line, tokens_, 2);
    if (tokens_.size() < 2 || tokens_[1].kind != TokenKind::identifier) return;
    name = tokens_[1].text;
  }
  // A comment before the # indents it too.
  const bool indented = !line.starts_with('#');
  if (name == "elif") {
    report(Severity::warning, "suggest not using #elif in traditional C", Warning::traditional);
  } else if (indented && listed(name, kTraditionalDirectives)) {
    report(Severity::warning, "traditional C ignores #" + std::string(name) + " with the # indented",
           Warning::traditional);
  } else if (!indented && listed(name, kLaterDirectives)) {
    report(Severity::warning,
           "suggest hiding #" + std::string(name) + " from traditional C with an indented #",
           Warning::traditional);
  }
}

void Preprocessor::check_traditional_stringification(const Macro& macro) {
  for (const BodyToken& token : macro.body()) {
    if (token.kind != TokenKind::string_literal && token.kind != TokenKind::char_constant) continue;
    const std::string_view text = macro.text(token);
    for (std::size_t pos = 0; pos < text.size();) {
      if (!is_identifier_byte(text[pos]) || (text[pos] >= '0' && text[pos] <= '9')) {
        // Digits start no name: step over the whole number.
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
        if (pos < text.size() && !is_identifier_byte(text[pos])) ++pos;
        continue;
      }
      const std::size_t start = pos;
      while (pos < text.size() && is_identifier_byte(text[pos])) ++pos;
      const std::string_view word = text.substr(start, pos - start);
      if (macro.param_index(word) >= 0) {
        report(Severity::warning, "macro argument " + quoted(word) + " would be stringified in traditional C",
               Warning::traditional);
      }
    }
  }
}

void Preprocessor::check_comments(std::string_view bytes, std::uint32_t first_line, bool directive) {
  const auto line_at = [&](std::size_t pos) {
    return first_line + static_cast<std::uint32_t>(std::count(
                            bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
  };
  for (std::size_t pos = 0; pos < bytes.size(); ++pos) {
    const char c = bytes[pos];
    if (c == '"' || c == '\'') {
      // The loop steps past the closing quote or the line end.
      std::uint32_t spliced = 0;
      pos = quoted_literal_end(bytes, pos, spliced);
      continue;
    }
    if (c != '/' || pos + 1 >= bytes.size()) continue;
    if (bytes[pos + 1] == '*') {
      const std::size_t end = std::min(block_comment_end(bytes, pos + 2), bytes.size());
      // As the compiler does, not where the "*" is the closing one's.
      for (std::size_t inner = bytes.find("/*", pos + 2); inner < end && inner + 2 < end;
           inner = bytes.find("/*", inner + 1)) {
        if (bytes[inner + 2] != '/')
          report_on(line_at(inner), Severity::warning, "\"/*\" within comment", Warning::comment);
      }
      pos = end - 1;
    } else if (bytes[pos + 1] == '/' && opens_line_comment(bytes, pos + 1, directive)) {
      std::uint32_t spliced = 0;
      const std::size_t end = std::min(line_comment_end(bytes, pos + 2, spliced), bytes.size());
      if (spliced != 0) report_on(line_at(pos), Severity::warning, "multi-line comment", Warning::comment);
      pos = end - 1;
    }
  }
}

}  // namespace sornik::cmode
