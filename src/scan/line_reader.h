#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace sornik {

// Reads physical lines from a stream as fgets does with a buffer of
// `size` bytes (at most size - 1 bytes, through the newline when it fits),
// but keeps every byte, NUL included, and reads in large blocks.
class LineReader {
 public:
  explicit LineReader(std::FILE* stream);

  // Replaces `line` with the next line of at most size - 1 bytes.
  // False at the end of input or on a read error; `line` is then unchanged.
  bool read_line(std::string& line, int size);

 private:
  bool refill();

  std::FILE* stream_;
  std::unique_ptr<char[]> block_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
};

}  // namespace sornik
