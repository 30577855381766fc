// Reading the operand of __has_include in #if as the C compiler reads it.
#include "cmode/condition/header_operand.h"

#include <algorithm>
#include <utility>

namespace sornik::cmode {

namespace {

// The end of the parenthesized group that begins at `after[0]`: the index
// of its closing ')', or the size when the line ends first.
std::size_t group_end(std::span<const Token> after) {
  int nesting = 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i].is("(")) ++nesting;
    if (after[i].is(")") && --nesting == 0) return i;
  }
  return after.size();
}

// The index of the first '>' from `from` on, or the size.
std::size_t closing_angle(std::span<const Token> tokens, std::size_t from) {
  while (from < tokens.size() && !tokens[from].is(">")) ++from;
  return from;
}

// The tokens a header name is read from, in the order the compiler reads
// them: the operand's group expanded (a `<`...`>` written out kept as it
// stands), then what follows the group.
std::vector<Token> operand_stream(std::span<const Token> after, ConditionContext& context,
                                  std::vector<std::unique_ptr<std::string>>& texts) {
  std::vector<Token> stream;
  const std::size_t end = group_end(after);
  std::size_t expand_from = 1;
  if (after.size() > 1 && after[1].is("<")) {
    // Written out, <...> reaches the first '>' of the line, past a ')'.
    const std::size_t angle = closing_angle(after, 2);
    if (angle < after.size()) {
      stream.assign(after.begin() + 1, after.begin() + static_cast<std::ptrdiff_t>(angle) + 1);
      expand_from = angle + 1;
    }
  }
  if (expand_from < end) {
    std::vector<Token> expanded;
    context.expand_operand(after.subspan(expand_from, end - expand_from), expanded);
    // The next expansion may reuse the storage of these texts.
    keep_texts(expanded, *texts.emplace_back(std::make_unique<std::string>()));
    stream.insert(stream.end(), expanded.begin(), expanded.end());
  }
  const std::size_t rest = std::max(end, expand_from);
  stream.insert(stream.end(), after.begin() + static_cast<std::ptrdiff_t>(rest), after.end());
  return stream;
}

}  // namespace

HeaderTest read_header_test(std::string_view op, bool next, std::span<const Token> after,
                            ConditionContext& context, std::vector<std::unique_ptr<std::string>>& texts) {
  HeaderTest test;
  const std::string name_of_op = quoted(op);
  const auto error_at = [&](const std::vector<Token>& tokens, std::size_t index, std::string text) {
    const std::uint32_t at = index < tokens.size() ? tokens[index].begin : kAtLineEnd;
    test.errors.push_back({Severity::error, std::move(text), Warning::none, at});
  };
  const bool parenthesized = !after.empty() && after[0].is("(");
  std::vector<Token> stream;
  if (parenthesized) {
    stream = operand_stream(after, context, texts);
  } else {
    stream.assign(after.begin(), after.end());
    error_at(stream, 0, "missing '(' before " + name_of_op + " operand");
  }
  std::size_t pos = 0;
  std::string name;
  bool named = false;
  bool angled = false;
  if (pos < stream.size() && stream[pos].kind == TokenKind::string_literal &&
      stream[pos].text.front() == '"') {
    name = stream[pos].text.substr(1, stream[pos].text.size() - 2);
    named = true;
    ++pos;
  } else if (pos < stream.size() && stream[pos].is("<")) {
    // The compiler glues the tokens up to the '>', a blank where one was.
    angled = named = true;
    for (++pos; pos < stream.size() && !stream[pos].is(">"); ++pos) {
      if (stream[pos].space_before) name += ' ';
      name.append(stream[pos].text);
    }
    if (pos == stream.size()) {
      error_at(stream, pos, "missing terminating > character");
    } else {
      ++pos;
    }
  } else {
    error_at(stream, pos, "operator " + name_of_op + " requires a header-name");
    if (pos < stream.size()) ++pos;
  }
  if (named) test.found = context.header_found(name, angled, next);
  if (parenthesized) {
    if (pos == stream.size() || !stream[pos].is(")"))
      error_at(stream, pos, "missing ')' after " + name_of_op + " operand");
    if (pos < stream.size()) ++pos;
  }
  test.rest.assign(stream.begin() + static_cast<std::ptrdiff_t>(pos), stream.end());
  return test;
}

}  // namespace sornik::cmode
