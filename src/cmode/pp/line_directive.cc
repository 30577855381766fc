// #line and the line markers "# 33 "file"": the line number and file name
// that __LINE__ and __FILE__ give from the next line on.
#include <algorithm>
#include <cstdint>
#include <string>

#include "cmode/lex/dialect.h"
#include "cmode/pp/preprocessor.h"

namespace sornik::cmode {

namespace {

bool is_octal(char c) { return c >= '0' && c <= '7'; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes a plain string literal stands for, its escape sequences
// interpreted as the C compiler does for a #line file name.
std::string literal_bytes(std::string_view literal) {
  const std::string_view body = literal.substr(1, literal.size() - 2);
  std::string bytes;
  for (std::size_t pos = 0; pos < body.size();) {
    const char c = body[pos++];
    if (c != '\\' || pos == body.size()) {
      bytes.push_back(c);
      continue;
    }
    const char escaped = body[pos++];
    if (is_octal(escaped)) {
      unsigned value = static_cast<unsigned>(escaped - '0');
      for (int digits = 1; digits < 3 && pos < body.size() && is_octal(body[pos]); ++digits)
        value = value * 8 + static_cast<unsigned>(body[pos++] - '0');
      bytes.push_back(static_cast<char>(value));
    } else if (escaped == 'x') {
      unsigned value = 0;
      for (int digit; pos < body.size() && (digit = hex_value(body[pos])) >= 0; ++pos)
        value = value * 16 + static_cast<unsigned>(digit);
      bytes.push_back(static_cast<char>(value));
    } else {
      static constexpr std::string_view kFrom = "abfnrtv";
      static constexpr std::string_view kTo = "\a\b\f\n\r\t\v";
      const std::size_t simple = kFrom.find(escaped);
      bytes.push_back(simple == std::string_view::npos ? escaped : kTo[simple]);
    }
  }
  return bytes;
}

bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
}

}  // namespace

void Preprocessor::line_directive(FileFrame& frame, std::span<const Token> rest, std::string_view line,
                                  bool marker) {
  std::span<const Token> operand = rest;
  if (marker && diagnostic_rules().pedantic)
    report(rest[0], Severity::pedwarn, "style of line directive is a GCC extension");
  if (!marker && needs_expansion(operand)) {
    expander_.expand_directive(operand, ExpandedFor::directive, {frame.path, frame.line}, expanded_);
    operand = expanded_;
  }
  const std::string_view directive = marker ? "#" : "#line";
  if (operand.empty()) {
    report(kAtLineEnd, Severity::error, "unexpected end of file after " + std::string(directive));
    return;
  }
  if (operand[0].kind != TokenKind::pp_number || !all_digits(operand[0].text)) {
    report(operand[0], Severity::error,
           "\"" + std::string(operand[0].text) + "\" after " + std::string(directive) +
               " is not a positive integer");
    return;
  }
  // Line numbers count modulo 2^32, as the C compiler's do.
  std::uint64_t number = 0;
  bool wrapped = false;
  for (const char digit : operand[0].text) {
    number = number * 10 + static_cast<std::uint64_t>(digit - '0');
    if (number > UINT32_MAX) wrapped = true;
    number &= UINT32_MAX;
  }
  // C90 (and C++98) count lines to 32767, C99 to 2^31 - 1.
  const std::uint64_t last = follows_c99(lexing_dialect()) ? 2147483647 : 32767;
  if (wrapped || (!marker && diagnostic_rules().pedantic && (number == 0 || number > last)))
    report(operand[0], Severity::pedwarn, "line number out of range");
  std::string file;
  const bool named = operand.size() > 1;
  if (named) {
    const Token& name = operand[1];
    if (name.kind != TokenKind::string_literal || name.text.front() != '"') {
      report(name, Severity::error, "\"" + std::string(name.text) + "\" is not a valid filename");
      return;
    }
    file = literal_bytes(name.text);
  }
  // A line marker's flags (1 to 4) follow its name, 3 for the text of a
  // system header; #line takes nothing more.
  if (!marker && operand.size() > 2) check_end(directive, operand.subspan(2));
  // Flag 1 enters a file, flag 2 goes back to the one that was left, which
  // an empty name stands for; back to any other, the marker is ignored.
  const std::string_view flag = marker && operand.size() > 2 ? operand[2].text : std::string_view();
  if (flag == "2" && !builtins_.leave_by_marker(file)) {
    report(operand[2], Severity::warning,
           "file \"" + file + "\" linemarker ignored due to incorrect nesting");
    return;
  }
  if (flag == "1") builtins_.enter_by_marker();
  if (marker && named) {
    const bool system_header = std::any_of(operand.begin() + 2, operand.end(), [](const Token& flag) {
      return flag.text == "3";
    });
    if (system_header != frame.system_header) {
      frame.system_header = system_header;
      set_definition_file(frame);
    }
  }
  const auto next_physical =
      static_cast<std::uint32_t>(frame.line + std::count(line.begin(), line.end(), '\n'));
  builtins_.set_line(next_physical, static_cast<std::uint32_t>(number), named ? &file : nullptr);
}

}  // namespace sornik::cmode
