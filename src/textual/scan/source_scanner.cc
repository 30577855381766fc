// The source scanner: where a continued line, comment, literal or bracket
// ends, and the text the scan collected (get_content).
#include "textual/scan/source_scanner.h"

#include <algorithm>

#include "common/byte_search.h"
#include "textual/scan/fragment_list.h"

namespace sornik {

namespace {

// While 1, a scan neither empties nor adds to the fragment list (the inner
// scans of get_braend).
int nest_flag = 0;

// The pieces of the current top-level scan, one per physical line.
FragmentList data_lst;
// Where the piece of the current line starts. Inner scans share it with the
// bracket scan that runs them, so that every line they read and leave again
// is collected whole on its behalf.
std::size_t piece_start = 0;
// The text that get_content handed out last.
std::string content_buf;

// Starts a scan: a top-level one (nest_flag 0) forgets the previous fragments
// and begins its first piece at `startp`. Returns whether it is top-level.
bool begin_scan(const std::string& linebuf, std::size_t startp) {
  if (nest_flag != 0) return false;
  del_allname(data_lst);
  piece_start = std::min(startp, linebuf.size());
  return true;
}

// Ends a scan whose construct closes with the byte at `last`.
std::size_t finish_scan(bool top_level, const std::string& linebuf, std::size_t last) {
  if (top_level) add_name(data_lst, std::string_view(linebuf).substr(piece_start, last + 1 - piece_start));
  return last;
}

// The construct is still open at the end of the line: collects the rest of
// the line and reads the next one. False when there is none to read.
bool next_line(LineReader* fp, std::string& linebuf) {
  add_name(data_lst, std::string_view(linebuf).substr(piece_start));
  if (fp == nullptr || !fp->read_line(linebuf)) return false;
  piece_start = 0;
  return true;
}

char closing_partner(char open) {
  switch (open) {
    case '(': return ')';
    case '<': return '>';
    case '[': return ']';
    case '{': return '}';
    default: return '\0';
  }
}

// Runs a comment or literal scan inside brackets; it neither empties nor
// starts the fragment list of the bracket scan.
std::size_t inner_scan(decltype(&get_commend) scan, LineReader* fp, std::string& linebuf, std::size_t startp,
                       int saved_nest_flag) {
  nest_flag = 1;
  const std::size_t end = scan(fp, linebuf, startp);
  nest_flag = saved_nest_flag;
  return end;
}

}  // namespace

std::size_t get_linend(LineReader* fp, std::string& linebuf, std::size_t startp) {
  const bool top_level = begin_scan(linebuf, startp);
  std::size_t pos = std::min(startp, linebuf.size());
  for (;;) {
    // Only a newline right after the last backslash continues the line; the
    // search never takes the second byte of a two-byte character for one.
    const std::size_t backslash = Strrchr(std::string_view(linebuf).substr(pos), '\\');
    const std::size_t after = pos + backslash + 1;
    if (backslash == std::string_view::npos || after >= linebuf.size() || linebuf[after] != '\n') {
      if (top_level) add_name(data_lst, std::string_view(linebuf).substr(piece_start));
      return linebuf.size();
    }
    if (!next_line(fp, linebuf)) return kNotClosed;
    pos = 0;
  }
}

std::size_t get_commend(LineReader* fp, std::string& linebuf, std::size_t startp) {
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

std::size_t get_strend(LineReader* fp, std::string& linebuf, std::size_t startp) {
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

std::size_t get_braend(LineReader* fp, std::string& linebuf, std::size_t startp) {
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
        pos = inner_scan(byte == '/' ? get_commend : get_strend, fp, linebuf, pos, saved_nest_flag);
        if (pos == kNotClosed) return kNotClosed;
      }
    }
    if (!next_line(fp, linebuf)) return kNotClosed;
    pos = 0;
  }
}

std::string_view get_content(int trim) {
  const std::size_t cut = trim > 0 ? static_cast<std::size_t>(trim) : 0;
  content_buf.clear();
  if (std::optional<std::string_view> first = get_name(data_lst, 0)) {
    content_buf.append(first->substr(std::min(cut, first->size())));
    while (std::optional<std::string_view> next = get_name(data_lst, 1)) content_buf.append(*next);
  }
  content_buf.resize(content_buf.size() - std::min(cut, content_buf.size()));
  return content_buf;
}

void reset_source_scanner() {
  name_init(data_lst);
  nest_flag = 0;
  piece_start = 0;
  std::string().swap(content_buf);
}

}  // namespace sornik
