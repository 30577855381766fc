// Colouring source pieces by a small scanner that knows comments, literals,
// numbers, keywords and directive names, and carries open comments and
// literals from piece to piece.
#include "render/page/source_colouring.h"

#include <algorithm>
#include <array>

#include "common/byte_class.h"
#include "render/page/html_text.h"

namespace sornik {

namespace {

// C's and C++'s keywords, sorted.
constexpr std::array<std::string_view, 86> kKeywords = {"_Alignas",
                                                        "_Alignof",
                                                        "_Atomic",
                                                        "_Bool",
                                                        "_Generic",
                                                        "_Noreturn",
                                                        "_Static_assert",
                                                        "_Thread_local",
                                                        "alignas",
                                                        "alignof",
                                                        "auto",
                                                        "bool",
                                                        "break",
                                                        "case",
                                                        "catch",
                                                        "char",
                                                        "char16_t",
                                                        "char32_t",
                                                        "char8_t",
                                                        "class",
                                                        "co_await",
                                                        "co_return",
                                                        "co_yield",
                                                        "concept",
                                                        "const",
                                                        "const_cast",
                                                        "consteval",
                                                        "constexpr",
                                                        "constinit",
                                                        "continue",
                                                        "decltype",
                                                        "default",
                                                        "delete",
                                                        "do",
                                                        "double",
                                                        "dynamic_cast",
                                                        "else",
                                                        "enum",
                                                        "explicit",
                                                        "export",
                                                        "extern",
                                                        "false",
                                                        "float",
                                                        "for",
                                                        "friend",
                                                        "goto",
                                                        "if",
                                                        "inline",
                                                        "int",
                                                        "long",
                                                        "mutable",
                                                        "namespace",
                                                        "new",
                                                        "noexcept",
                                                        "nullptr",
                                                        "operator",
                                                        "private",
                                                        "protected",
                                                        "public",
                                                        "register",
                                                        "reinterpret_cast",
                                                        "requires",
                                                        "restrict",
                                                        "return",
                                                        "short",
                                                        "signed",
                                                        "sizeof",
                                                        "static",
                                                        "static_assert",
                                                        "static_cast",
                                                        "struct",
                                                        "switch",
                                                        "template",
                                                        "this",
                                                        "thread_local",
                                                        "throw",
                                                        "true",
                                                        "try",
                                                        "typedef",
                                                        "typename",
                                                        "union",
                                                        "unsigned",
                                                        "using",
                                                        "virtual",
                                                        "void",
                                                        "volatile"};

bool is_keyword(std::string_view name) {
  return std::binary_search(kKeywords.begin(), kKeywords.end(), name);
}

// Bytes of identifiers, numbers and UTF-8 characters in names.
bool is_word_byte(char c) { return is_name_byte(c) || static_cast<unsigned char>(c) >= 0x80; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

const char* class_of(bool comment) { return comment ? "c" : "s"; }

}  // namespace

void SourceColouring::append(std::string& out, std::string_view bytes) {
  std::size_t pos = 0;
  std::size_t plain_from = 0;
  while (pos < bytes.size()) {
    const char* span_class = nullptr;
    std::size_t end;
    if (state_ != State::kCode) {
      span_class = class_of(state_ == State::kBlockComment || state_ == State::kLineComment);
      end = construct_end(bytes, pos);
    } else {
      end = code_token_end(bytes, pos, span_class);
    }
    if (span_class == nullptr) {
      pos = end;
      continue;
    }
    append_html_text(out, bytes.substr(plain_from, pos - plain_from));
    out.append("<span class=\"");
    out.append(span_class);
    out.append("\">");
    append_html_text(out, bytes.substr(pos, end - pos));
    out.append("</span>");
    pos = end;
    plain_from = end;
  }
  append_html_text(out, bytes.substr(plain_from));
}

std::size_t SourceColouring::construct_end(std::string_view bytes, std::size_t pos) {
  const char quote = state_ == State::kString ? '"' : '\'';
  for (; pos < bytes.size(); ++pos) {
    const char c = bytes[pos];
    const bool escaped = escaped_;
    escaped_ = c == '\\' && !escaped;
    if (state_ == State::kBlockComment) {
      if (c == '/' && star_) break;
      star_ = c == '*';
      continue;
    }
    if (c == '\n' && !escaped) {
      // A line comment, or a literal left open, ends with its line.
      state_ = State::kCode;
      line_start_ = true;
      return pos;
    }
    if (state_ != State::kLineComment && c == quote && !escaped) break;
  }
  if (pos == bytes.size()) return pos;
  state_ = State::kCode;
  escaped_ = false;
  star_ = false;
  return pos + 1;
}

std::size_t SourceColouring::code_token_end(std::string_view bytes, std::size_t pos,
                                            const char*& span_class) {
  const char c = bytes[pos];
  const char next = pos + 1 < bytes.size() ? bytes[pos + 1] : '\0';
  const bool at_line_start = line_start_;
  line_start_ = c == '\n' || ((c == ' ' || c == '\t') && line_start_);
  if (c == '/' && (next == '*' || next == '/')) {
    state_ = next == '*' ? State::kBlockComment : State::kLineComment;
    span_class = "c";
    line_start_ = at_line_start;
    return construct_end(bytes, pos + 2);
  }
  if (c == '"' || c == '\'') {
    state_ = c == '"' ? State::kString : State::kCharacter;
    span_class = "s";
    return construct_end(bytes, pos + 1);
  }
  std::size_t end = pos + 1;
  if (is_digit(c) || (c == '.' && is_digit(next))) {
    // A preprocessing number: digits, letters, dots, and signs after an exponent.
    while (end < bytes.size() && (is_word_byte(bytes[end]) || bytes[end] == '.' || bytes[end] == '\'' ||
                                  ((bytes[end] == '+' || bytes[end] == '-') &&
                                   std::string_view("eEpP").find(bytes[end - 1]) != std::string_view::npos)))
      ++end;
    span_class = "n";
    return end;
  }
  if (is_word_byte(c)) {
    while (end < bytes.size() && is_word_byte(bytes[end])) ++end;
    if (is_keyword(bytes.substr(pos, end - pos))) span_class = "k";
    return end;
  }
  if (c == '#' && at_line_start) {
    while (end < bytes.size() && (bytes[end] == ' ' || bytes[end] == '\t')) ++end;
    while (end < bytes.size() && is_word_byte(bytes[end])) ++end;
    span_class = "p";
    return end;
  }
  return end;
}

}  // namespace sornik
