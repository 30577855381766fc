#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace sornik {

// Reads the physical lines of a stream as fgets does with a buffer of 1024
// bytes (at most 1023 bytes, through the newline when it fits), but keeps
// every byte, NUL included, and reads in large blocks.
class LineReader {
 public:
  explicit LineReader(std::FILE* stream);

  // Replaces `line` with the next physical line of at most 1023 bytes.
  // False at the end of input or on a read error; `line` is then unchanged.
  bool read_line(std::string& line);

  // read_line for the line loops, where a line holds at most 1022 bytes,
  // newline included: a longer one ends the run with
  // "%s \nError: too long line found\n".
  bool read_checked_line(std::string& line);

 private:
  bool refill();

  std::FILE* stream_;
  std::unique_ptr<char[]> block_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
};

}  // namespace sornik
