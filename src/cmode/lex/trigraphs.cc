// Finding and converting trigraphs, the lines that hold them, and the ones the compiler warns of.
#include "cmode/lex/trigraphs.h"

#include <algorithm>
#include <cstring>

#include "cmode/lex/dialect.h"

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
  std::vector<TrigraphNote> notes;
  for (const TrigraphNote& site : sites) {
    while (comment != comments.end() && comment->second <= site.at) ++comment;
    const bool in_comment = comment != comments.end() && comment->first <= site.at;
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
  converted_.clear();
  std::size_t converted_to = pos;
  for (std::size_t lines = 1;; lines *= 2) {
    for (std::size_t added = 0; added < lines && converted_to < text.size(); ++added) {
      const void* newline = std::memchr(text.data() + converted_to, '\n', text.size() - converted_to);
      const std::size_t end =
          newline == nullptr ? text.size()
                             : static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1;
      converted_.append(text.substr(converted_to, end - converted_to));
      converted_to = end;
    }
    LogicalLine line = scan_logical_line(converted_.text(), 0);
    if (line.complete || converted_to == text.size()) {
      line.end = pos + converted_.physical(line.end);
      return line;
    }
  }
}

}  // namespace sornik::cmode
