// An arena of texts that live until it is cleared, stored in large blocks.
#include "common/text_arena.h"

#include <algorithm>
#include <cstring>

namespace sornik {

namespace {
constexpr std::size_t kBlockSize = 1 << 20;
}

std::string_view TextArena::store(std::string_view first, std::string_view second) {
  const std::size_t total = first.size() + second.size();
  // An empty text is kept as a real empty text, never as a null pointer.
  if (total == 0) return std::string_view("");
  if (total > free_size_) {
    const std::size_t size = std::max(kBlockSize, total);
    if (blocks_.empty()) first_block_size_ = size;
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    free_ = blocks_.back().get();
    free_size_ = size;
    allocated_ += size;
  }
  char* copy = free_;
  if (!first.empty()) std::memcpy(copy, first.data(), first.size());
  if (!second.empty()) std::memcpy(copy + first.size(), second.data(), second.size());
  free_ += total;
  free_size_ -= total;
  return {copy, total};
}

void TextArena::clear() {
  // The first block of the usual size stays for the next texts: an arena
  // cleared after every short expansion would otherwise allocate and free a
  // whole block each time.
  const bool keep = !blocks_.empty() && first_block_size_ == kBlockSize;
  blocks_.resize(keep ? 1 : 0);
  free_ = keep ? blocks_.front().get() : nullptr;
  free_size_ = keep ? kBlockSize : 0;
  allocated_ = free_size_;
}

}  // namespace sornik
