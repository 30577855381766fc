// The source scanner: where a continued line, comment, literal or bracket
// ends, and the text the scan collected (get_content).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textual/scan/fragment_list.h"
#include "textual/scan/line_reader.h"

namespace sornik {

// Scan results are positions in the caller's line buffer; kNotClosed is the
// null result: the construct is still open at the end of the input.
inline constexpr std::size_t kNotClosed = std::string::npos;

// The source scanner of a run: the four scans, which scan `linebuf` from
// `startp`, reading further physical lines from `fp` into `linebuf` while
// the construct stays open, and collect the text they pass in the fragment
// list. A null `fp` reads nothing.
class SourceScanner {
 public:
  // The end of a logical line continued by backslash-newline: linebuf.size()
  // of its last physical line.
  std::size_t get_linend(LineReader* fp, std::string& linebuf, std::size_t startp);
  // The "/" of the "*/" that closes the block comment opening at `startp`.
  std::size_t get_commend(LineReader* fp, std::string& linebuf, std::size_t startp);
  // The quote that closes the literal opening at `startp`.
  std::size_t get_strend(LineReader* fp, std::string& linebuf, std::size_t startp);
  // The bracket matching the "(", "<", "[" or "{" at `startp`; `startp` itself
  // when no opening bracket stands there.
  std::size_t get_braend(LineReader* fp, std::string& linebuf, std::size_t startp);

  // The fragments of the last top-level scan joined, without the first `trim`
  // bytes and the last `trim` bytes; empty when there are none. Valid until the
  // next call.
  std::string_view get_content(int trim);

 private:
  using Scan = std::size_t (SourceScanner::*)(LineReader*, std::string&, std::size_t);

  bool begin_scan(const std::string& linebuf, std::size_t startp);
  std::size_t finish_scan(bool top_level, const std::string& linebuf, std::size_t last);
  bool next_line(LineReader* fp, std::string& linebuf);
  std::size_t inner_scan(Scan scan, LineReader* fp, std::string& linebuf, std::size_t startp,
                         int saved_nest_flag);

  // While 1, a scan neither empties nor adds to the fragment list (the inner
  // scans of get_braend).
  int nest_flag = 0;
  // The pieces of the current top-level scan, one per physical line.
  FragmentList data_lst;
  // Where the piece of the current line starts. Inner scans share it with the
  // bracket scan that runs them, so that every line they read and leave again
  // is collected whole on its behalf.
  std::size_t piece_start_ = 0;
  // The text that get_content handed out last.
  std::string content_buf_;
};

}  // namespace sornik
