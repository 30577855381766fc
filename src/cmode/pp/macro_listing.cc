// The --print-defines listing: the table's macros sorted in its own slot memory and written as
// #define lines.
#include "cmode/pp/macro_listing.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "cmode/pp/define_directive.h"

namespace sornik::cmode {

namespace {

// The listing sorts the table's own slots: a slot's hash is replaced by the
// first eight bytes of the macro's name as a number, so that the sort
// compares numbers and looks at a name only when eight bytes are equal.
using Entry = MacroTable::Slot;

std::uint64_t prefix_of(std::string_view name) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    prefix = (prefix << 8) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
  }
  return prefix;
}

// Sorts `entries[0, size)` by prefix, one byte per pass from the last (a
// stable radix sort) between them and `other`, and returns where the sorted
// entries are; a byte that is the same in every entry takes no pass.
Entry* sort_by_prefix(Entry* entries, Entry* other, std::size_t size) {
  std::array<std::array<std::size_t, 256>, 8> counts{};
  for (std::size_t i = 0; i < size; ++i) {
    for (std::size_t byte = 0; byte < 8; ++byte) ++counts[byte][(entries[i].hash >> (8 * byte)) & 0xff];
  }
  for (std::size_t byte = 0; byte < 8; ++byte) {
    std::array<std::size_t, 256>& count = counts[byte];
    if (std::find(count.begin(), count.end(), size) != count.end()) continue;
    std::size_t start = 0;
    for (std::size_t& bucket : count) start += std::exchange(bucket, start);
    for (std::size_t i = 0; i < size; ++i)
      other[count[(entries[i].hash >> (8 * byte)) & 0xff]++] = entries[i];
    std::swap(entries, other);
  }
  // Names that share their first eight bytes are ordered by the rest.
  for (std::size_t run = 0; run < size;) {
    std::size_t end = run + 1;
    while (end < size && entries[end].hash == entries[run].hash) ++end;
    if (end - run > 1) {
      std::sort(entries + run, entries + end, [](const Entry& a, const Entry& b) {
        return a.macro->name() < b.macro->name();
      });
    }
    run = end;
  }
  return entries;
}

}  // namespace

void list_macros(MacroTable& table, void (*write)(std::string_view)) {
  PageArray<Entry> slots = table.take_slots();
  // The macros lie wherever they were made: fetching a few ahead hides
  // most of the wait for each one.
  constexpr std::size_t kAhead = 16;
  std::size_t count = 0;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (i + kAhead < slots.size()) __builtin_prefetch(slots[i + kAhead].macro);
    if (!MacroTable::holds_macro(slots[i])) continue;
    Macro* const macro = slots[i].macro;
    // As the C compiler's listing: built-in macros have no definition to show.
    if (macro->builtin() != Builtin::none) {
      MacroDeleter()(macro);
      continue;
    }
    slots[count++] = {prefix_of(macro->name()), macro};
  }
  // The sort moves the entries to the slots past them when there is room.
  Entry* other = slots.data() + count;
  PageArray<Entry> spare;
  if (2 * count > slots.size()) {
    spare = PageArray<Entry>::unfilled(count);
    other = spare.data();
  }
  const Entry* const sorted = sort_by_prefix(slots.data(), other, count);
  std::string block;
  for (std::size_t i = 0; i < count; ++i) {
    if (i + kAhead < count) __builtin_prefetch(sorted[i + kAhead].macro);
    append_define_line(block, *sorted[i].macro, true);
    MacroDeleter()(sorted[i].macro);
    block += '\n';
    if (block.size() >= (std::size_t{1} << 16)) {
      write(block);
      block.clear();
    }
  }
  write(block);
}

}  // namespace sornik::cmode
