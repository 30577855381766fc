// The macro table's open addressing: probing, growing, replacing and removing.
#include "cmode/macro/macro_table.h"

#include <algorithm>
#include <string>
#include <utility>

namespace sornik::cmode {

Macro* MacroTable::removed() {
  // Any address that no macro has will do.
  static char mark;
  return reinterpret_cast<Macro*>(&mark);
}

MacroTable::~MacroTable() {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    prefetch_ahead(i);
    if (holds_macro(slots_[i])) MacroDeleter()(slots_[i].macro);
  }
}

PageArray<MacroTable::Slot> MacroTable::take_slots() {
  size_ = used_ = 0;
  filter_.fill(0);
  return std::exchange(slots_, PageArray<Slot>());
}

std::size_t MacroTable::probe(std::string_view name, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t free = slots_.size();
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.macro == nullptr) return free != slots_.size() ? free : i;
    if (slot.macro == removed()) {
      if (free == slots_.size()) free = i;
    } else if (slot.hash == hash && slot.macro->name() == name) {
      return i;
    }
  }
}

void MacroTable::reserve(std::size_t names) {
  std::size_t slot_count = std::max(kFewestSlots, slots_.size());
  while (over_load(names, slot_count)) slot_count *= 2;
  if (slot_count > slots_.size()) rehash(slot_count);
}

void MacroTable::rehash(std::size_t slot_count) {
  PageArray<Slot> old(slot_count);
  std::swap(old, slots_);
  used_ = size_;
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.macro == nullptr || slot.macro == removed()) continue;
    std::size_t i = slot.hash & mask;
    while (slots_[i].macro != nullptr) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

const Macro* MacroTable::find(std::string_view name) const {
  if (may_hold(name)) {
    const Slot& slot = slots_[probe(name, hash_name(name))];
    if (holds_macro(slot)) return slot.macro;
  }
  return universal_names_met() ? find_spelled(name) : nullptr;
}

const Macro* MacroTable::find_spelled(std::string_view name) const {
  if (!spells_universal_names(name)) return nullptr;
  std::string utf8;
  append_utf8_name(utf8, name);
  // A universal character name that stands for no character stays as written.
  return utf8 == name ? nullptr : find(utf8);
}

MacroPtr MacroTable::replace(MacroPtr macro, std::uint64_t name_hash) {
  if (over_load(used_ + 1, slots_.size())) rehash(std::max(kFewestSlots, slots_.size() * 2));
  Slot& slot = slots_[probe(macro->name(), name_hash)];
  MacroPtr old;
  if (slot.macro != nullptr && slot.macro != removed()) {
    old.reset(slot.macro);
  } else {
    if (slot.macro == nullptr) ++used_;
    ++size_;
    if (!macro->name().empty()) ++filter_[filter_key(macro->name())];
  }
  slot = {name_hash, macro.release()};
  return old;
}

MacroPtr MacroTable::remove(std::string_view name) {
  if (universal_names_met() && spells_universal_names(name)) {
    std::string utf8;
    append_utf8_name(utf8, name);
    if (utf8 != name) return remove(utf8);
  }
  if (!may_hold(name)) return nullptr;
  Slot& slot = slots_[probe(name, hash_name(name))];
  if (slot.macro == nullptr || slot.macro == removed()) return nullptr;
  MacroPtr old(slot.macro);
  slot.macro = removed();
  --size_;
  if (!name.empty()) --filter_[filter_key(name)];
  return old;
}

}  // namespace sornik::cmode
