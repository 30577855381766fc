#include "defines/name_index.h"

#include <bit>
#include <cstring>

#include "defines/define_table.h"

namespace sornik {

std::uint32_t NameIndex::hash(std::string_view name) {
  // FNV-1a over 8-byte words, then a final mix; fast on short identifiers.
  std::uint64_t h = 0xcbf29ce484222325ULL ^ name.size();
  std::size_t pos = 0;
  for (; pos + 8 <= name.size(); pos += 8) {
    std::uint64_t word;
    std::memcpy(&word, name.data() + pos, 8);
    h = (h ^ word) * 0x100000001b3ULL;
    h ^= h >> 29;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, name.data() + pos, name.size() - pos);
  h = (h ^ tail) * 0x9E3779B97F4A7C15ULL;
  h ^= h >> 32;
  return static_cast<std::uint32_t>(h);
}

void NameIndex::build(DefineEntry* const* table, int count) {
  const std::size_t size = std::bit_ceil(static_cast<std::size_t>(count) * 2 + 16);
  slots_.assign(size, Slot{});
  mask_ = static_cast<std::uint32_t>(size - 1);
  filter_.fill(0);
  for (int entry = 0; entry < count; ++entry) {
    const std::uint32_t key = filter_key(table[entry]->name);
    filter_[key >> 6] |= std::uint64_t{1} << (key & 63);
    const std::uint32_t h = hash(table[entry]->name);
    std::uint32_t slot = h & mask_;
    while (slots_[slot].entry >= 0) slot = (slot + 1) & mask_;
    slots_[slot] = {h, entry, table[entry]->name};
  }
}

int NameIndex::find_in_slots(std::string_view name) const {
  const std::uint32_t h = hash(name);
  for (std::uint32_t slot = h & mask_;; slot = (slot + 1) & mask_) {
    const Slot& candidate = slots_[slot];
    if (candidate.entry < 0) return -1;
    if (candidate.hash == h && candidate.name == name) return candidate.entry;
  }
}

void NameIndex::clear() {
  filter_.fill(0);
  slots_.clear();
  mask_ = 0;
}

}  // namespace sornik
