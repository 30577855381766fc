// Finding and converting trigraphs, the lines that hold them, and the ones the compiler warns of.
#include "cmode/lex/trigraphs.h"

#include <algorithm>
#include <cstring>

#include "cmode/lex/dialect.h"
#include "cmode/lex/raw_strings.h"
#include "cmode/lex/token.h"

namespace sornik::cmode {

char trigraph_third(char meaning) {
  for (const char third : std::string_view("=/'()!<>-"))
    if (trigraph_meaning(third) == meaning) return third;
  return 0;
}

std::size_t find_trigraph(std::string_view text, std::size_t pos) {
  const char* const bytes = text.data();
  while (pos + 2 < text.size()) {
    const void* hit = std::memchr(bytes + pos, '?', text.size() - 2 - pos);
    if (hit == nullptr) break;
    pos = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes);
    if (bytes[pos + 1] == '?' && trigraph_meaning(bytes[pos + 2]) != 0) return pos;
    ++pos;
  }
  return std::string_view::npos;
}

void ConvertedText::convert(std::string_view physical) {
  clear();
  append(physical);
}

void ConvertedText::convert(std::string_view physical,
                            std::span<const std::pair<std::size_t, std::size_t>> kept) {
  clear();
  std::size_t pos = 0;
  for (const auto& [begin, end] : kept) {
    append(physical.substr(pos, begin - pos));
    text_.append(physical.substr(begin, end - begin));
    pos = end;
  }
  append(physical.substr(pos));
}

void ConvertedText::convert_outside_raw_strings(std::string_view physical) {
  convert(physical);
  if (trigraphs_.empty() || !lexing_dialect().raw_strings) return;
  std::vector<std::pair<std::size_t, std::size_t>> kept;
  Lexer lexer;
  std::vector<Token> tokens;
  // Each round keeps the first raw string that holds a conversion: the text
  // after it may lex otherwise once it is read as written.
  for (;;) {
    lexer.lex(text_, tokens);
    const auto converted = std::find_if(tokens.begin(), tokens.end(), [&](const Token& token) {
      const std::size_t quote = token.text.find('"');
      if (quote == 0 || quote > 3 || token.text[quote - 1] != 'R') return false;
      const auto trigraph = std::lower_bound(trigraphs_.begin(), trigraphs_.end(), token.begin);
      return trigraph != trigraphs_.end() && *trigraph < token.end;
    });
    if (converted == tokens.end()) return;
    const std::size_t begin = this->physical(converted->begin);
    // The prefix holds no quote, but may hold splices.
    const std::size_t quote = physical.find('"', begin);
    if (quote == std::string_view::npos) return;
    const std::size_t end = raw_string_end(physical, quote);
    if (end == std::string_view::npos) return;  // open as written too
    kept.emplace_back(begin, end);
    convert(physical, kept);
  }
}

void ConvertedText::clear() {
  text_.clear();
  trigraphs_.clear();
}

void ConvertedText::append(std::string_view physical) {
  for (std::size_t pos = 0;;) {
    const std::size_t trigraph = std::min(find_trigraph(physical, pos), physical.size());
    text_.append(physical.substr(pos, trigraph - pos));
    if (trigraph == physical.size()) return;
    trigraphs_.push_back(static_cast<std::uint32_t>(text_.size()));
    text_ += trigraph_meaning(physical[trigraph + 2]);
    pos = trigraph + 3;
  }
}

std::size_t ConvertedText::physical(std::size_t pos) const {
  // Each trigraph before `pos` took two bytes more than it takes now.
  const auto before = std::lower_bound(trigraphs_.begin(), trigraphs_.end(), pos) - trigraphs_.begin();
  return pos + 2 * static_cast<std::size_t>(before);
}

namespace {

// The comments of a logical line as [begin, end) ranges, in order.
std::vector<std::pair<std::size_t, std::size_t>> comments_of(std::string_view line) {
  std::vector<std::pair<std::size_t, std::size_t>> comments;
  const auto opens_line = [](std::string_view text, std::size_t second) {
    return opens_line_comment(text, second, false);
  };
  for (std::size_t pos = 0;;) {
    const CommentStart comment = next_comment(line, pos, opens_line);
    if (comment.slash == std::string_view::npos) return comments;
    std::uint32_t spliced = 0;
    pos = line[comment.second] == '*' ? std::min(block_comment_end(line, comment.second + 1), line.size())
                                      : line_comment_end(line, comment.second + 1, spliced);
    comments.emplace_back(comment.slash, pos);
  }
}

// Whether the trigraph ??/ at `at` of a line as written, which no
// conversion made a backslash, would splice: only blanks come before the
// line's end.
bool would_splice(std::string_view line, std::size_t at) {
  std::size_t pos = at + 3;
  while (pos < line.size() && (is_splice_blank(line[pos]) || line[pos] == '\0')) ++pos;
  if (pos < line.size() && line[pos] == '\r') ++pos;
  return pos < line.size() && line[pos] == '\n';
}

// The raw string literals of a logical line as [begin, end) ranges, in order.
std::vector<std::pair<std::size_t, std::size_t>> raw_strings_of(std::string_view line) {
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  if (!lexing_dialect().raw_strings) return ranges;
  Lexer lexer;
  std::vector<Token> tokens;
  lexer.lex(line, tokens);
  for (const Token& token : tokens) {
    const std::size_t quote = token.text.find('"');
    if (token.kind == TokenKind::string_literal && quote != 0 && quote != std::string_view::npos &&
        token.text[quote - 1] == 'R')
      ranges.emplace_back(token.begin, token.end);
  }
  return ranges;
}

}  // namespace

std::vector<TrigraphNote> trigraphs_to_warn_of(std::string_view line,
                                               std::span<const std::uint32_t> converted, bool is_converted) {
  std::vector<TrigraphNote> sites;
  if (is_converted) {
    for (const std::uint32_t at : converted) sites.push_back({at, trigraph_third(line[at])});
  } else {
    for (std::size_t at = find_trigraph(line, 0); at != std::string_view::npos;
         at = find_trigraph(line, at + 3))
      sites.push_back({at, line[at + 2]});
  }
  const auto comments = comments_of(line);
  auto comment = comments.begin();
  const auto raw_strings = raw_strings_of(line);
  auto raw_string = raw_strings.begin();
  std::vector<TrigraphNote> notes;
  for (const TrigraphNote& site : sites) {
    while (comment != comments.end() && comment->second <= site.at) ++comment;
    while (raw_string != raw_strings.end() && raw_string->second <= site.at) ++raw_string;
    const bool in_comment = comment != comments.end() && comment->first <= site.at;
    // The compiler reads a raw string as written, and says nothing of its trigraphs.
    if (raw_string != raw_strings.end() && raw_string->first <= site.at) continue;
    const bool splices =
        site.third == '/' && (is_converted ? splice_length(line, site.at) != 0 : would_splice(line, site.at));
    if (!in_comment || splices) notes.push_back(site);
  }
  return notes;
}

TrigraphLineScan::TrigraphLineScan(bool warnings_shown)
    : active_(lexing_dialect().trigraphs ||
              (warnings_shown && diagnostic_rules().gives(Warning::trigraphs))) {
  restart();
}

void TrigraphLineScan::rescan(std::string_view text, std::size_t pos, LogicalLine& line) {
  if (!searched_ || next_trigraph_ < pos) {
    next_trigraph_ = find_trigraph(text, pos);
    searched_ = true;
  }
  if (line.end <= next_trigraph_) return;
  // next_trigraph_ stays in the line: a reader may scan it again, and the
  // scan of a later line searches on.
  if (lexing_dialect().trigraphs) line = converted_line(text, pos);
  line.marks |= LineEnd::kTrigraphs;
  marked_end_ = line.end;
}

LogicalLine TrigraphLineScan::converted_line(std::string_view text, std::size_t pos) {
  // The line is read in its converted text, which grows by physical lines
  // (trigraphs hold no newline), twice as many each time a splice or a
  // comment carries the line on past them.
  std::size_t converted_to = pos;
  for (std::size_t lines = 1;; lines *= 2) {
    for (std::size_t added = 0; added < lines && converted_to < text.size(); ++added) {
      const void* newline = std::memchr(text.data() + converted_to, '\n', text.size() - converted_to);
      converted_to = newline == nullptr
                         ? text.size()
                         : static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1;
    }
    // Converted whole each time: a raw string that the lines read so far
    // hold to its end stays as written.
    converted_.convert_outside_raw_strings(text.substr(pos, converted_to - pos));
    LogicalLine line = scan_logical_line(converted_.text(), 0);
    if (line.complete || converted_to == text.size()) {
      line.end = pos + converted_.physical(line.end);
      return line;
    }
  }
}

}  // namespace sornik::cmode
