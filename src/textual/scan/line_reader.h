// LineReader: the physical lines of a source or definition file, read a
// block at a time.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace sornik {

// How a reader treats a CR directly before a newline.
enum class LineEnds {
  kAsRead,    // kept, as every other byte (source files)
  kCrLfAsLf,  // dropped, as text-mode reading does (definition files)
};

// Reads the physical lines of a stream as fgets does with a buffer of 1024
// bytes (at most 1023 bytes, through the newline when it fits), but keeps
// every byte, NUL included, and reads in large blocks.
class LineReader {
 public:
  explicit LineReader(std::FILE* stream, LineEnds line_ends = LineEnds::kAsRead);

  // Replaces `line` with the next physical line of at most 1023 bytes.
  // False at the end of input or on a read error; `line` is then unchanged.
  bool read_line(std::string& line);

  // read_line for the line loops, where a line holds at most 1022 bytes,
  // newline included: a longer one ends the run with
  // "%s \nError: too long line found\n".
  bool read_checked_line(std::string& line);

  // The bytes read from the stream and not yet taken, in the reader's block;
  // the next block is read first when none are left. Empty at the end of
  // input. The view is valid until the next call of a member that reads.
  std::string_view unread();

  // Takes the first `size` bytes of unread() as read.
  void skip(std::size_t size) { pos_ += size; }

  // Moves the unread bytes, fewer than half a block (a line that the block's
  // end cut), to the start of the block and reads more after them, so that
  // unread() shows them with what follows. False when nothing more was read.
  bool read_more();

 private:
  bool refill();
  void drop_cr_before_newlines(std::size_t from);

  std::FILE* stream_;
  bool drop_cr_;
  // A CR that ended the last block, held back until the next shows whether a newline follows.
  bool held_cr_ = false;
  std::unique_ptr<char[]> block_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
};

}  // namespace sornik
