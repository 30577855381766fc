#include "services/text_arena.h"

#include <algorithm>
#include <cstring>

namespace sornik {

namespace {
constexpr std::size_t kBlockSize = 1 << 20;
}

std::string_view TextArena::store(std::string_view text) {
  // An empty text is kept as a real empty text, never as a null pointer.
  if (text.empty()) return std::string_view("", 0);
  if (text.size() > free_size_) {
    const std::size_t size = std::max(kBlockSize, text.size());
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    free_ = blocks_.back().get();
    free_size_ = size;
    allocated_ += size;
  }
  char* copy = free_;
  std::memcpy(copy, text.data(), text.size());
  free_ += text.size();
  free_size_ -= text.size();
  return {copy, text.size()};
}

void TextArena::clear() {
  blocks_.clear();
  free_ = nullptr;
  free_size_ = 0;
  allocated_ = 0;
}

}  // namespace sornik
