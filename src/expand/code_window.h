#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace sornik {

// A stretch of text in code, described by bit masks so that the scan finds
// names and the bytes that change its state without a branch per byte.
struct CodeWindow {
  // Bit i stands for the byte at the window's start + i.
  std::uint64_t names = 0;  // name bytes
  std::uint64_t stops = 0;  // "/", "*", quotes, in a marked text also marks
  std::size_t width = 0;    // bytes in the window, at most 64
};

// The name bytes and stop bytes of a whole text, 64 bytes to a mask word.
class CodeMasks {
 public:
  // Describes `text`; `marked` when it is the output of an earlier pass,
  // whose marks are stops too.
  void classify(std::string_view text, bool marked);

  // The bytes from `pos` to the end of its 64-byte block (or of the text).
  CodeWindow window(std::size_t pos) const {
    const std::size_t shift = pos % 64;
    return {names_[pos / 64] >> shift, stops_[pos / 64] >> shift, std::min(64 - shift, size_ - pos)};
  }

 private:
  std::vector<std::uint64_t> names_;
  std::vector<std::uint64_t> stops_;
  std::size_t size_ = 0;
};

}  // namespace sornik
