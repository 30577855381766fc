// The lexer: preprocessing tokens of whole logical lines, spliced spellings kept apart.
#include "cmode/lex/token.h"

#include "cmode/lex/token_scan.h"

namespace sornik::cmode {

namespace {

// The position of the first splice at or after `pos`, or the text's size.
std::size_t find_splice(std::string_view text, std::size_t pos) {
  const char* data = text.data();
  while (pos < text.size()) {
    const void* hit = std::memchr(data + pos, '\\', text.size() - pos);
    if (hit == nullptr) break;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    pos = at + 1;
    if (splice_length(text, at) != 0) return at;
  }
  return text.size();
}

// Appends a line comment's text (without splices) as the compiler spells it
// among tokens: as a block comment, every `*/` in it broken as `*|`.
void append_line_comment_as_block(std::string& out, std::string_view comment) {
  const std::size_t start = out.size();
  out.append("/*");
  out.append(comment.substr(2));
  for (std::size_t i = start + 1; i + 1 < out.size(); ++i) {
    if (out[i] == '*' && out[i + 1] == '/') out[i + 1] = '|';
  }
  out.append("*/");
}

// Appends a token's spelling without its splices, but for those in the body
// of a raw string, which the compiler keeps there as written.
void append_spelling(std::string& out, std::string_view physical, TokenKind kind) {
  if (kind == TokenKind::comment) {
    std::string comment;
    append_without_splices(comment, physical);
    if (comment.starts_with("//")) {
      append_line_comment_as_block(out, comment);
    } else {
      out.append(comment);
    }
    return;
  }
  if (kind == TokenKind::string_literal) {
    const std::size_t quote = physical.find('"');
    const std::size_t before = out.size();
    append_without_splices(out, physical.substr(0, quote));
    if (out.size() > before && out.back() == 'R') {
      out.append(physical.substr(quote));
      return;
    }
    out.resize(before);
  }
  append_without_splices(out, physical);
}

template <ScanMode kMode>
void lex_text(std::string_view text, std::vector<Token>& out, std::size_t max_tokens, bool keep_comments,
              std::string& spliced, std::vector<std::uint32_t>& spliced_tokens) {
  TokenScan<kMode> scan(text, keep_comments);
  ScannedToken scanned;
  // The first splice at or after the start of the last token.
  std::size_t splice = kMode == ScanMode::spliced ? find_splice(text, 0) : text.size();
  for (std::size_t count = 0; count < max_tokens && scan.next(scanned); ++count) {
    Token token;
    token.space_before = scanned.space_before;
    token.kind = scanned.kind;
    token.begin = static_cast<std::uint32_t>(scanned.begin);
    token.end = static_cast<std::uint32_t>(scanned.end);
    token.text = std::string_view(text.data() + scanned.begin, scanned.end - scanned.begin);
    bool respelled = token.kind == TokenKind::comment && token.text[1] != '*';
    if constexpr (kMode == ScanMode::spliced) {
      if (splice < scanned.begin) splice = find_splice(text, scanned.begin);
      respelled = respelled || splice < scanned.end;
    }
    if (respelled) {
      // The spelling goes to the lexer's storage; its view is set once the
      // storage stops growing.
      const std::size_t offset = spliced.size();
      append_spelling(spliced, token.text, token.kind);
      token.text = std::string_view(nullptr, 0);
      spliced_tokens.push_back(static_cast<std::uint32_t>(out.size()));
      spliced_tokens.push_back(static_cast<std::uint32_t>(offset));
      spliced_tokens.push_back(static_cast<std::uint32_t>(spliced.size() - offset));
    }
    out.push_back(token);
  }
}

}  // namespace

bool has_splice(std::string_view text) { return find_splice(text, 0) != text.size(); }

void append_without_splices(std::string& out, std::string_view physical) {
  for (std::size_t pos = 0;;) {
    const std::size_t splice = find_splice(physical, pos);
    out.append(physical.data() + pos, splice - pos);
    if (splice == physical.size()) return;
    pos = splice + splice_length(physical, splice);
  }
}

void Lexer::lex(std::string_view text, std::vector<Token>& out, std::size_t max_tokens) {
  out.clear();
  spliced_.clear();
  spliced_tokens_.clear();
  if (!has_splice(text)) {
    if (!text.empty() && text.back() == '\n') {
      lex_text<ScanMode::line>(text, out, max_tokens, keep_comments_, spliced_, spliced_tokens_);
    } else {
      lex_text<ScanMode::plain>(text, out, max_tokens, keep_comments_, spliced_, spliced_tokens_);
    }
  } else {
    lex_text<ScanMode::spliced>(text, out, max_tokens, keep_comments_, spliced_, spliced_tokens_);
  }
  for (std::size_t i = 0; i < spliced_tokens_.size(); i += 3) {
    out[spliced_tokens_[i]].text =
        std::string_view(spliced_).substr(spliced_tokens_[i + 1], spliced_tokens_[i + 2]);
  }
}

void Lexer::lex_converting(std::string_view text, std::vector<Token>& out) {
  converted_.convert_outside_raw_strings(text);
  if (converted_.trigraphs().empty()) {
    lex(text, out);
    return;
  }
  lex(converted_.text(), out);
  for (Token& token : out) {
    token.begin = static_cast<std::uint32_t>(converted_.physical(token.begin));
    token.end = static_cast<std::uint32_t>(converted_.physical(token.end));
  }
}

void keep_texts(std::span<Token> tokens, std::string& storage) {
  std::size_t size = 0;
  for (const Token& token : tokens) size += token.text.size();
  storage.clear();
  storage.reserve(size);
  for (const Token& token : tokens) storage.append(token.text);
  std::size_t offset = 0;
  for (Token& token : tokens) {
    const std::size_t length = token.text.size();
    token.text = std::string_view(storage).substr(offset, length);
    offset += length;
  }
}

}  // namespace sornik::cmode
