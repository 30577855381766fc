// The exact-match index from a define name to its record.
#include "textual/defines/name_index.h"

#include <algorithm>

#include "common/name_hash.h"
#include "textual/defines/define_table.h"

namespace sornik {

namespace {

constexpr std::size_t kFirstSize = 1024;

}  // namespace

std::uint32_t NameIndex::hash(std::string_view name) { return static_cast<std::uint32_t>(hash_name(name)); }

int NameIndex::insert(const DefineTable& table, int entry) {
  const std::string_view name = table.name(table.chg_tbl(entry));
  const std::uint32_t name_hash = table.chg_tbl(entry).name_hash();
  if (const int earlier = find_in_slots(table, name, name_hash); earlier >= 0) return earlier;
  // At most half full, so that probe runs stay short.
  if ((used_ + 1) * 2 > slots_.size()) resize(table, slots_.size() == 0 ? kFirstSize : slots_.size() * 2);
  place(entry, name_hash);
  ++used_;
  const std::uint32_t key = filter_key(name);
  filter_[key >> 6] |= std::uint64_t{1} << (key & 63);
  if (!name.empty()) heads_.add(name.front());
  return -1;
}

void NameIndex::expect(const DefineTable& table, std::size_t count) {
  std::size_t size = std::max(slots_.size(), kFirstSize);
  while (size < (used_ + count) * 2) size *= 2;
  if (size > slots_.size()) resize(table, size);
}

void NameIndex::drop_slots() {
  slots_ = PageArray<Slot>();
  mask_ = 0;
  used_ = 0;
}

void NameIndex::rebuild(const DefineTable& table, int count) {
  std::size_t size = kFirstSize;
  while (size < static_cast<std::size_t>(count) * 2) size *= 2;
  allocate(size);
  for (int entry = 0; entry < count; ++entry) place(entry, table.chg_tbl(entry).name_hash());
  used_ = static_cast<std::size_t>(count);
}

int NameIndex::likely_entry(std::uint32_t name_hash) const {
  if (slots_.size() == 0) return -1;
  for (std::uint32_t slot = name_hash & mask_;; slot = (slot + 1) & mask_) {
    const Slot held = slots_[slot];
    if (held == kFree) return -1;
    if ((held ^ name_hash) >> kEntryBits == 0) return static_cast<int>(held & kEntryMask);
  }
}

void NameIndex::place(int entry, std::uint32_t name_hash) {
  std::uint32_t position = name_hash & mask_;
  while (slots_[position] != kFree) position = (position + 1) & mask_;
  slots_[position] = make_slot(entry, name_hash);
}

void NameIndex::allocate(std::size_t size) {
  slots_ = PageArray<Slot>::unfilled(size);
  std::fill(slots_.begin(), slots_.end(), kFree);
  mask_ = static_cast<std::uint32_t>(size - 1);
}

void NameIndex::resize(const DefineTable& table, std::size_t size) {
  const PageArray<Slot> old = std::move(slots_);
  allocate(size);
  for (const Slot kept : old) {
    if (kept == kFree) continue;
    const int entry = static_cast<int>(kept & kEntryMask);
    place(entry, table.chg_tbl(entry).name_hash());
  }
}

void NameIndex::clear() {
  filter_.fill(0);
  heads_ = NameHeads{};
  drop_slots();
}

}  // namespace sornik
