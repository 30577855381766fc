// The line feeder: the pieces of a source file the expander works on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cmode/lex/trigraphs.h"
#include "cmode/listing/expander.h"
#include "cmode/macro/macro_table.h"

namespace sornik::cmode {

// Cuts the chunks of a source file into the pieces the expander works on:
// each logical line of code on its own (a block comment that spans lines
// stays in one piece), each directive or skipped chunk whole. A quick scan
// tells whether a line of code may hold a use at all, so that most lines are
// copied without being split into tokens.
class LineFeeder {
 public:
  LineFeeder(ChunkSource& source, const MacroTable& table) : source_(source), table_(table) {}

  // The next piece, valid until the next call; false at the end of the file.
  // `may_use` is false only for a line of code with no identifier that names a
  // macro or _Pragma outside comments and literals.
  bool next(SourceChunk& piece, bool& may_use);

 private:
  // The end of the logical line that starts at pos_, and whether it may hold a use.
  std::size_t scan_line(bool& may_use);
  std::size_t skip_literal(std::size_t pos, bool& may_use);

  ChunkSource& source_;
  const MacroTable& table_;
  TrigraphLineScan trigraph_lines_{false};  // the lines of a chunk with converted trigraphs
  SourceChunk chunk_;
  bool have_chunk_ = false;
  std::size_t pos_ = 0;
  std::uint32_t line_ = 0;
};

}  // namespace sornik::cmode
