// The texts of the define table in one growing block, each known by its
// 32-bit offset.
#include "textual/defines/define_texts.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "common/diagnostics.h"
#include "common/fatal.h"
#include "common/page_memory.h"

namespace sornik {

namespace {

constexpr std::size_t kSpare = 8;
constexpr std::size_t kFirstCapacity = std::size_t{64} << 10;
// Offsets are 32 bits wide.
constexpr std::size_t kMostBytes = std::numeric_limits<std::uint32_t>::max();

}  // namespace

void DefineTexts::reserve(std::size_t bytes) {
  if (bytes > kMostBytes || used_ + bytes + kSpare <= capacity_) return;
  const std::size_t capacity = std::max({used_ + bytes + kSpare, capacity_ * 2, kFirstCapacity});
  char* const larger = static_cast<char*>(allocate_pages_unfilled(capacity));
  if (used_ != 0) std::memcpy(larger, base_, used_);
  if (base_ != nullptr) release_pages(base_, capacity_);
  base_ = larger;
  capacity_ = capacity;
}

std::uint32_t DefineTexts::store(std::string_view first, std::string_view second, std::string_view third) {
  const std::size_t size = first.size() + second.size() + third.size();
  if (used_ + size > kMostBytes) {
    errmsg("cannot get memory\n");
    fatal_stop();
  }
  reserve(size);
  char* copy = base_ + used_;
  for (const std::string_view part : {first, second, third}) {
    if (part.empty()) continue;
    std::memcpy(copy, part.data(), part.size());
    copy += part.size();
  }
  const auto offset = static_cast<std::uint32_t>(used_);
  used_ += size;
  return offset;
}

void DefineTexts::release() {
  if (base_ != nullptr) release_pages(base_, capacity_);
  base_ = nullptr;
  used_ = 0;
  capacity_ = 0;
}

}  // namespace sornik
