#include "defines/loaded_names.h"

#include <functional>
#include <string_view>

#include "defines/define_table.h"

namespace sornik {

namespace {

constexpr std::size_t kFirstSize = 1024;

std::uint32_t name_hash(std::string_view name) {
  return static_cast<std::uint32_t>(std::hash<std::string_view>{}(name));
}

}  // namespace

bool LoadedNames::add_through(DefineEntry* const* table, int entry) {
  for (; covered_ < entry; ++covered_) insert(table, covered_);
  covered_ = entry + 1;
  return !insert(table, entry);
}

bool LoadedNames::insert(DefineEntry* const* table, int entry) {
  // At most half full, so that probe runs stay short.
  if ((used_ + 1) * 2 > slots_.size()) grow();
  const std::string_view name = table[entry]->name;
  const std::uint32_t hash = name_hash(name);
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  for (; slots_[slot].entry >= 0; slot = (slot + 1) & mask) {
    if (slots_[slot].hash == hash && table[slots_[slot].entry]->name == name) return false;
  }
  slots_[slot] = {hash, entry};
  ++used_;
  return true;
}

void LoadedNames::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? kFirstSize : old.size() * 2, Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& kept : old) {
    if (kept.entry < 0) continue;
    std::size_t slot = kept.hash & mask;
    while (slots_[slot].entry >= 0) slot = (slot + 1) & mask;
    slots_[slot] = kept;
  }
}

void LoadedNames::clear() {
  std::vector<Slot>().swap(slots_);
  used_ = 0;
  covered_ = 0;
}

}  // namespace sornik
