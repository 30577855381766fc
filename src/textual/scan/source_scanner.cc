// The source scanner: where a continued line, comment, literal or bracket
// ends, and the text the scan collected (get_content).
#include "textual/scan/source_scanner.h"

#include <algorithm>

#include "common/byte_search.h"

namespace sornik {

// Starts a scan: a top-level one (nest_flag 0) forgets the previous fragments
// and begins its first piece at `startp`. Returns whether it is top-level.
bool SourceScanner::begin_scan(const std::string& linebuf, std::size_t startp) {
  if (nest_flag != 0) return false;
  del_allname(data_lst);
  piece_start_ = std::min(startp, linebuf.size());
  return true;
}

// Ends a scan whose construct closes with the byte at `last`.
std::size_t SourceScanner::finish_scan(bool top_level, const std::string& linebuf, std::size_t last) {
  if (top_level) add_name(data_lst, std::string_view(linebuf).substr(piece_start_, last + 1 - piece_start_));
  return last;
}

// The construct is still open at the end of the line: collects the rest of
// the line and reads the next one. False when there is none to read.
bool SourceScanner::next_line(LineReader* fp, std::string& linebuf) {
  add_name(data_lst, std::string_view(linebuf).substr(piece_start_));
  if (fp == nullptr || !fp->read_line(linebuf)) return false;
  piece_start_ = 0;
  return true;
}

// Runs a comment or literal scan inside brackets; it neither empties nor
// starts the fragment list of the bracket scan.
std::size_t SourceScanner::inner_scan(Scan scan, LineReader* fp, std::string& linebuf, std::size_t startp,
                                      int saved_nest_flag) {
  nest_flag = 1;
  const std::size_t end = (this->*scan)(fp, linebuf, startp);
  nest_flag = saved_nest_flag;
  return end;
}

namespace {

char closing_partner(char open) {
  switch (open) {
    case '(': return ')';
    case '<': return '>';
    case '[': return ']';
    case '{': return '}';
    default: return '\0';
  }
}

}  // namespace

std::size_t SourceScanner::get_linend(LineReader* fp, std::string& linebuf, std::size_t startp) {
  const bool top_level = begin_scan(linebuf, startp);
  std::size_t pos = std::min(startp, linebuf.size());
  for (;;) {
    // Only a newline right after the last backslash continues the line; the
    // search never takes the second byte of a two-byte character for one.
    const std::size_t backslash = Strrchr(std::string_view(linebuf).substr(pos), '\\');
    const std::size_t after = pos + backslash + 1;
    if (backslash == std::string_view::npos || after >= linebuf.size() || linebuf[after] != '\n') {
      if (top_level) add_name(data_lst, std::string_view(linebuf).substr(piece_start_));
      return linebuf.size();
    }
    if (!next_line(fp, linebuf)) return kNotClosed;
    pos = 0;
  }
}

std::size_t SourceScanner::get_commend(LineReader* fp, std::string& linebuf, std::size_t startp) {
  const bool top_level = begin_scan(linebuf, startp);
  // The "/" right after the opener does not close the comment.
  std::size_t pos = std::min(startp + 2, linebuf.size());
  for (;;) {
    const std::size_t closer = linebuf.find("*/", pos);
    if (closer != std::string::npos) return finish_scan(top_level, linebuf, closer + 1);
    if (!next_line(fp, linebuf)) return kNotClosed;
    pos = 0;
  }
}

std::size_t SourceScanner::get_strend(LineReader* fp, std::string& linebuf, std::size_t startp) {
  const bool top_level = begin_scan(linebuf, startp);
  const char quote = startp < linebuf.size() ? linebuf[startp] : '\0';
  std::size_t pos = std::min(startp + 1, linebuf.size());
  for (;;) {
    for (; pos < linebuf.size(); ++pos) {
      if (linebuf[pos] == '\\') {
        // The escaped byte never closes the literal; an escaped newline
        // simply lets the literal go on.
        if (++pos == linebuf.size()) break;
      } else if (linebuf[pos] == quote) {
        return finish_scan(top_level, linebuf, pos);
      }
      if (starts_two_byte_char(linebuf, pos)) ++pos;
    }
    if (!next_line(fp, linebuf)) return kNotClosed;
    pos = 0;
  }
}

std::size_t SourceScanner::get_braend(LineReader* fp, std::string& linebuf, std::size_t startp) {
  const int saved_nest_flag = nest_flag;
  const bool top_level = begin_scan(linebuf, startp);
  const char open = startp < linebuf.size() ? linebuf[startp] : '\0';
  const char close = closing_partner(open);
  if (close == '\0') return startp;

  // Only brackets of the opening kind count, and none inside comments and
  // literals; "//" means nothing here.
  int depth = 0;
  std::size_t pos = startp;
  for (;;) {
    for (; pos < linebuf.size(); ++pos) {
      const char byte = linebuf[pos];
      if (byte == open) {
        ++depth;
      } else if (byte == close) {
        if (--depth == 0) return finish_scan(top_level, linebuf, pos);
      } else if (byte == '\'' || byte == '"' ||
                 (byte == '/' && pos + 1 < linebuf.size() && linebuf[pos + 1] == '*')) {
        pos = inner_scan(byte == '/' ? &SourceScanner::get_commend : &SourceScanner::get_strend, fp, linebuf,
                         pos, saved_nest_flag);
        if (pos == kNotClosed) return kNotClosed;
      }
    }
    if (!next_line(fp, linebuf)) return kNotClosed;
    pos = 0;
  }
}

std::string_view SourceScanner::get_content(int trim) {
  const std::size_t cut = trim > 0 ? static_cast<std::size_t>(trim) : 0;
  content_buf_.clear();
  if (std::optional<std::string_view> first = get_name(data_lst, 0)) {
    content_buf_.append(first->substr(std::min(cut, first->size())));
    while (std::optional<std::string_view> next = get_name(data_lst, 1)) content_buf_.append(*next);
  }
  content_buf_.resize(content_buf_.size() - std::min(cut, content_buf_.size()));
  return content_buf_;
}

}  // namespace sornik
