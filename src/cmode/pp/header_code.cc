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
  if (!expand_header_code_) {
    // Unexpanded, header code matters only where an argument list is left
    // open at the file's end, which the compiler reports there: lines are
    // kept from one whose bytes open more parentheses than they close
    // until their bytes close them. Most are passed over after a count.
    header_code_depth_ += parenthesis_balance(bytes);
    if (header_code_depth_ <= 0) {
      drop_header_code();
      return;
    }
    header_code_.append(bytes);
    constexpr std::size_t kFirstCheck = 1 << 16;
    if (header_code_.size() > std::max(kFirstCheck, header_code_check_at_)) {
      if (lex_header_code() <= 0) {
        drop_header_code();
      } else {
        header_code_check_at_ = 2 * header_code_.size();
      }
    }
    return;
  }
  // A call's arguments may go on over the next lines, past directives too:
  // code lines are joined until their parentheses close or the file ends.
  lexer_.lex(bytes, tokens_);
  header_code_depth_ += parentheses_left_open(tokens_);
  if (header_code_.empty() && header_code_depth_ <= 0) {
    // Most lines close what they open: their tokens are expanded as lexed.
    header_code_depth_ = 0;
    expander_.expand_directive(tokens_, ExpandedFor::code, {frame.path, frame.line}, expanded_);
    return;
  }
  header_code_.append(bytes);
  if (header_code_depth_ <= 0) flush_header_code(frame, frame.line);
}

int Preprocessor::parenthesis_balance(std::string_view bytes) {
  // Parentheses are a small share of code: memchr steps from one to the next.
  const auto count = [bytes](char wanted) {
    int found = 0;
    const char* end = bytes.data() + bytes.size();
    for (const char* at = bytes.data();
         (at = static_cast<const char*>(std::memchr(at, wanted, static_cast<std::size_t>(end - at)))) !=
         nullptr;
         ++at)
      ++found;
    return found;
  };
  return count('(') - count(')');
}

int Preprocessor::parentheses_left_open(std::span<const Token> tokens) {
  int depth = 0;
  for (const Token& token : tokens)
    depth += static_cast<int>(token.is("(")) - static_cast<int>(token.is(")"));
  return depth;
}

int Preprocessor::lex_header_code() {
  lexer_.lex(header_code_, tokens_);
  return parentheses_left_open(tokens_);
}

void Preprocessor::flush_header_code(FileFrame& frame, std::uint32_t line) {
  if (header_code_.empty()) return;
  if (lex_header_code() > 0 || expand_header_code_)
    expander_.expand_directive(tokens_, ExpandedFor::code, {frame.path, line}, expanded_);
  drop_header_code();
}

void Preprocessor::drop_header_code() {
  header_code_.clear();
  header_code_depth_ = 0;
  header_code_check_at_ = 0;
}

}  // namespace sornik::cmode
