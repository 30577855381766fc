// The texts of the define table in one growing block, each known by its
// 32-bit offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sornik {

// The texts of the define table (names, parameter lists, values) in one
// growing block, each known by its 32-bit offset, so that a record holds
// offsets instead of pointers and the block may move when it grows. The
// block always has eight bytes to spare after its last text, so that eight
// bytes may be read from any offset in it.
class DefineTexts {
 public:
  DefineTexts() = default;
  DefineTexts(const DefineTexts&) = delete;
  DefineTexts& operator=(const DefineTexts&) = delete;
  ~DefineTexts() { release(); }

  // The byte at `offset`.
  const char* at(std::uint32_t offset) const { return base_ + offset; }
  char* at(std::uint32_t offset) { return base_ + offset; }

  // The offset the next stored text will get.
  std::size_t end() const { return used_; }

  // Makes room for `bytes` more bytes of text at once, so that a large file
  // grows the block once.
  void reserve(std::size_t bytes);

  // Copies `first` directly followed by `second` and `third`; returns the
  // offset of the copy. The texts must not lie in this block unless room
  // for them was reserved first (the block may move). Ends the run with "cannot get memory" when the texts
  // would pass 4 GiB.
  std::uint32_t store(std::string_view first, std::string_view second = {}, std::string_view third = {});

  // Releases every text.
  void release();

 private:
  char* base_ = nullptr;
  std::size_t used_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace sornik
