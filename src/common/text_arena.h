// An arena of texts that live until it is cleared, stored in large blocks.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

namespace sornik {

// Stores texts that live until the arena is cleared, in large blocks, so that
// a million small texts cost a few allocations. Stored texts never move.
class TextArena {
 public:
  // Copies `text` into the arena and returns the stored copy.
  std::string_view store(std::string_view text) { return store(text, {}); }

  // Copies `first` directly followed by `second`; returns the stored whole.
  std::string_view store(std::string_view first, std::string_view second);

  // Releases every stored text (the first block is kept for reuse).
  void clear();

  // Bytes of all blocks obtained so far.
  std::size_t allocated_bytes() const { return allocated_; }

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  std::size_t free_size_ = 0;
  std::size_t allocated_ = 0;
  std::size_t first_block_size_ = 0;
};

}  // namespace sornik
