// The source window: the lines a use spans, read and lexed as argument lists reach on.
#include "cmode/listing/source_window.h"

#include <algorithm>

#include "cmode/lex/dialect.h"
#include "cmode/lex/universal_names.h"

namespace sornik::cmode {

void SourceWindow::start(const SourceChunk& piece) {
  tokens_.clear();
  after_directive_.clear();
  bytes_.clear();
  copied_ = false;
  ended_ = false;
  list_end_ = std::string::npos;
  first_ = piece.bytes;
  add_code(piece, 0);
}

void SourceWindow::add_code(const SourceChunk& piece, std::uint32_t base) {
  lexer_.keep_comments(lexing_dialect().comments_are_tokens);
  if (piece.trigraphs) {
    lexer_.lex_converting(piece.bytes, lexed_);
  } else {
    lexer_.lex(piece.bytes, lexed_);
  }
  std::uint32_t line = piece.first_line;
  std::size_t counted = 0;
  // The compiler reports universal character names that C allows in no
  // identifier, names and numbers outside Unicode's NFC, and a unit's
  // first `$` where -pedantic asks.
  const bool check_characters = characters_to_check();
  for (const Token& token : lexed_) {
    line += static_cast<std::uint32_t>(
        std::count(piece.bytes.begin() + static_cast<std::ptrdiff_t>(counted),
                   piece.bytes.begin() + static_cast<std::ptrdiff_t>(token.begin), '\n'));
    counted = token.begin;
    ExpToken& added = tokens_.emplace_back();
    added.text = token.text;
    added.kind = token.kind;
    added.space_before = token.space_before;
    added.own_space = token.space_before;
    added.fresh = true;
    added.source_begin = base + token.begin;
    added.source_end = base + token.end;
    added.line = line;
    added.from_source = true;
    if (check_characters && (token.kind == TokenKind::identifier || token.kind == TokenKind::pp_number))
      rescanner_.check_token_characters(added);
  }
  // The first token of a piece follows a line end.
  if (!lexed_.empty() && tokens_.size() > lexed_.size()) {
    ExpToken& first = tokens_[tokens_.size() - lexed_.size()];
    first.space_before = true;
    first.own_space = true;
  }
}

bool SourceWindow::fetch(bool for_arguments) {
  if (ended_) return false;
  if (!copied_) {
    bytes_.assign(first_);
    copied_ = true;
  }
  // The next piece replaces the bytes that tokens read so far point into.
  rescanner_.stabilize();
  for (ExpToken& token : tokens_) {
    if (token.stable) continue;
    token.text = rescanner_.arena().store(token.text);
    token.stable = true;
  }
  SourceChunk piece;
  bool may_use;
  reading_.active = for_arguments;
  const bool fetched = feeder_.next(piece, may_use);
  reading_.active = false;
  if (reading_.ended_in_header) [[unlikely]] {
    reading_.ended_in_header = false;
    list_end_ = tokens_.size();
    list_end_file_.swap(reading_.header);
    list_end_line_ = reading_.header_line;
  }
  if (!fetched) {
    ended_ = true;
    return false;
  }
  const auto base = static_cast<std::uint32_t>(bytes_.size());
  bytes_.append(piece.bytes);
  if (piece.is_text) {
    add_code(piece, base);
  } else if (after_directive_.empty() || after_directive_.back() != tokens_.size()) {
    after_directive_.push_back(tokens_.size());
  }
  return true;
}

const ExpToken* SourceWindow::at(std::size_t index, bool through_directives) {
  const auto before_directive = [&] {
    return !through_directives && std::binary_search(after_directive_.begin(), after_directive_.end(), index);
  };
  while (index >= tokens_.size()) {
    if (before_directive() || !fetch(through_directives)) return nullptr;
  }
  if (through_directives && index >= list_end_) return nullptr;
  return before_directive() ? nullptr : &tokens_[index];
}

bool SourceWindow::take_list_end(std::string_view& file, std::uint32_t& line) {
  if (list_end_ == std::string::npos) return false;
  list_end_ = std::string::npos;
  file = list_end_file_;
  line = list_end_line_;
  return true;
}

}  // namespace sornik::cmode
