// 64-byte windows of a line in code as bit masks of name bytes and of the
// bytes that change the scan state.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "textual/scan/byte_masks.h"

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

  // The same with the given kernel, which must be available.
  void classify(std::string_view text, bool marked, ClassifyKernel kernel);

  // The bytes from `pos` to the end of its 64-byte block, or to `end` (at
  // most the end of the text) when that comes first.
  CodeWindow window(std::size_t pos, std::size_t end) const {
    const std::size_t shift = pos % 64;
    const std::size_t width = std::min(64 - shift, end - pos);
    const std::uint64_t inside = width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
    return {names_[pos / 64] >> shift & inside, stops_[pos / 64] >> shift & inside, width};
  }
  CodeWindow window(std::size_t pos) const { return window(pos, size_); }

 private:
  std::vector<std::uint64_t> names_;
  std::vector<std::uint64_t> stops_;
  std::size_t size_ = 0;
};

}  // namespace sornik
