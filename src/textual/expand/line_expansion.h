// One expansion pass (edit_line): the scan of ibuf that writes each use of a
// defined name into obuf as a marker group.
#pragma once

#include "textual/scan/line_reader.h"

namespace sornik {

// Scan state carried from line to line; set to 0, 0, 1 at every source file.
extern int comm_flag;  // a block comment is open
extern int str_flag;   // the quote of an open literal, 0 when none
extern int print_f;    // 1 where names are looked up

// Expands the defined names of the text in ibuf into obuf as marker groups.
// `fp` is the source file on the first pass (further lines of an argument
// list are read from it) and null on a re-scan, whose input is the previous
// pass's output. Returns 1 when it wrote a group; when it returns 0 after a
// first pass, obuf holds the line exactly as read.
int edit_line(LineReader* fp);

}  // namespace sornik
