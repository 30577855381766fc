// One expansion pass (edit_line): the scan of ibuf that writes each use of a
// defined name into obuf as a marker group.
#pragma once

#include <string>

#include "textual/defines/define_table.h"
#include "textual/expand/argument_substitution.h"
#include "textual/expand/code_window.h"
#include "textual/scan/line_buffers.h"
#include "textual/scan/line_reader.h"
#include "textual/scan/source_scanner.h"

namespace sornik {

// The scan state carried from line to line; 0, 0, 1 at every source file.
struct ScanState {
  int comm_flag = 0;  // a block comment is open
  int str_flag = 0;   // the quote of an open literal, 0 when none
  int print_f = 1;    // 1 where names are looked up

  bool operator==(const ScanState&) const = default;
};

// The expansion passes of a run: the scan state they carry from line to line,
// the define table they look names up in, the line buffers they read and
// write, the scanner they collect argument lists with, the substitution of
// their calls' arguments, and scratch texts kept from call to call so that
// their storage is reused.
class LineExpansion {
 public:
  LineExpansion(const DefineTable& table, SourceScanner& scanner, LineBuffers& buffers,
                ArgumentSubstitution& substitution)
      : table_(table), scanner_(scanner), buffers_(buffers), substitution_(substitution) {}
  LineExpansion(const LineExpansion&) = delete;
  LineExpansion& operator=(const LineExpansion&) = delete;

  ScanState state;

  LineBuffers& buffers() { return buffers_; }

  // Expands the defined names of the text in ibuf into obuf as marker groups.
  // `fp` is the source file on the first pass (further lines of an argument
  // list are read from it) and null on a re-scan, whose input is the previous
  // pass's output. Returns 1 when it wrote a group; when it returns 0 after a
  // first pass, obuf holds the line exactly as read.
  int edit_line(LineReader* fp);

  // The scratch of one pass.
  struct Scratch {
    CodeMasks code_masks;
    std::string call_name;
    std::string bounded_list;
    std::string raw_arguments;
  };

 private:
  const DefineTable& table_;
  SourceScanner& scanner_;
  LineBuffers& buffers_;
  ArgumentSubstitution& substitution_;
  Scratch scratch_;
};

}  // namespace sornik
