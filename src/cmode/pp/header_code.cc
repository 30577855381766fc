// The code lines of headers, expanded only where __COUNTER__ may count in
// them (the listing shows no header code, but the compiler expands it, and
// every __COUNTER__ it meets there moves the counter that the source's own
// uses see) or where an argument list may be left open at a header's end.
#include <algorithm>
#include <cstring>

#include "cmode/pp/preprocessor.h"

namespace sornik::cmode {

void Preprocessor::watch_for_counter(HeaderFile& header) {
  // Searched once per file. The search costs about a tenth of a header's
  // reading: the system's headers, which make most of what a source
  // includes, are left out; their code does not spell the counter (their
  // macros that do are caught where they are defined).
  static constexpr std::string_view kCounter = "__COUNTER__";
  if (!header.counter_searched) {
    header.counter_searched = true;
    header.spells_counter =
        memmem(header.text.data(), header.text.size(), kCounter.data(), kCounter.size()) != nullptr;
  }
  if (header.spells_counter) expand_header_code_ = true;
}

void Preprocessor::take_header_code(FileFrame& frame, std::string_view bytes) {
  // The unit's `$` warning may fall on a header's code: looked for only
  // while it is due.
  if (dollar_warning_due() && std::memchr(bytes.data(), '$', bytes.size()) != nullptr) [[unlikely]] {
    lexer_.lex(bytes, tokens_);
    for (const Token& token : tokens_) {
      if ((token.kind == TokenKind::identifier || token.kind == TokenKind::pp_number) &&
          takes_dollar_warning(token.text)) {
        const auto newlines = std::count(bytes.begin(), bytes.begin() + token.begin, '\n');
        report_on(frame.line + static_cast<std::uint32_t>(newlines), Severity::pedwarn,
                  "'$' in identifier or number");
      }
    }
  }
  // Unexpanded, header code matters only where an argument list is left
  // open at the file's end, which the compiler reports there: the lines are
  // kept from one whose bytes open more parentheses than they close. Most
  // lines are passed over after one look at their bytes.
  if (!expand_header_code_ && header_code_.empty() && !opens_parentheses(bytes)) return;
  // A call's arguments may go on over the next lines, past directives too:
  // code lines are joined until their parentheses close or the file ends.
  lexer_.lex(bytes, tokens_);
  for (const Token& token : tokens_) {
    if (token.is("(")) ++header_code_depth_;
    if (token.is(")")) --header_code_depth_;
  }
  if (header_code_.empty() && header_code_depth_ <= 0) {
    // Most lines close what they open: their tokens are expanded as lexed.
    header_code_depth_ = 0;
    if (expand_header_code_)
      expander_.expand_directive(tokens_, ExpandedFor::code, {frame.path, frame.line}, expanded_);
    return;
  }
  header_code_.append(bytes);
  if (header_code_depth_ <= 0) flush_header_code(frame, frame.line);
}

bool Preprocessor::opens_parentheses(std::string_view bytes) {
  int depth = 0;
  for (const char byte : bytes) depth += static_cast<int>(byte == '(') - static_cast<int>(byte == ')');
  return depth > 0;
}

void Preprocessor::flush_header_code(FileFrame& frame, std::uint32_t line) {
  if (header_code_.empty()) return;
  // Unexpanded code is expanded only for a list left open at the end.
  if (expand_header_code_ || header_code_depth_ > 0) {
    lexer_.lex(header_code_, tokens_);
    expander_.expand_directive(tokens_, ExpandedFor::code, {frame.path, line}, expanded_);
  }
  drop_header_code();
}

void Preprocessor::drop_header_code() {
  header_code_.clear();
  header_code_depth_ = 0;
}

}  // namespace sornik::cmode
