#include "cmode/macro_listing.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "cmode/define_directive.h"

namespace sornik::cmode {

namespace {

// A macro with the first eight bytes of its name as a number, so that the
// sort compares numbers and looks at a name only when eight bytes are equal.
struct Entry {
  std::uint64_t prefix;
  const Macro* macro;
};

std::uint64_t prefix_of(std::string_view name) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    prefix = (prefix << 8) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
  }
  return prefix;
}

// Sorts by prefix, one byte per pass from the last (a stable radix sort);
// a byte that is the same in every entry takes no pass.
void sort_by_prefix(PageArray<Entry>& entries) {
  const std::size_t size = entries.size();
  std::array<std::array<std::size_t, 256>, 8> counts{};
  for (const Entry& entry : entries) {
    for (std::size_t byte = 0; byte < 8; ++byte) ++counts[byte][(entry.prefix >> (8 * byte)) & 0xff];
  }
  PageArray<Entry> other(size);
  for (std::size_t byte = 0; byte < 8; ++byte) {
    std::array<std::size_t, 256>& count = counts[byte];
    if (std::find(count.begin(), count.end(), size) != count.end()) continue;
    std::size_t start = 0;
    for (std::size_t& bucket : count) start += std::exchange(bucket, start);
    for (const Entry& entry : entries) other[count[(entry.prefix >> (8 * byte)) & 0xff]++] = entry;
    std::swap(entries, other);
  }
}

}  // namespace

PageArray<const Macro*> macros_by_name(const MacroTable& table) {
  PageArray<Entry> entries(table.size());
  std::size_t filled = 0;
  table.for_each([&](const Macro& macro) {
    entries[filled++] = {prefix_of(macro.name()), &macro};
  });
  sort_by_prefix(entries);
  // Names that share their first eight bytes are ordered by the rest.
  for (std::size_t run = 0; run < filled;) {
    std::size_t end = run + 1;
    while (end < filled && entries[end].prefix == entries[run].prefix) ++end;
    if (end - run > 1) {
      std::sort(entries.begin() + run, entries.begin() + end, [](const Entry& a, const Entry& b) {
        return a.macro->name() < b.macro->name();
      });
    }
    run = end;
  }
  PageArray<const Macro*> sorted(filled);
  for (std::size_t i = 0; i < filled; ++i) sorted[i] = entries[i].macro;
  return sorted;
}

void list_macros(const MacroTable& table, void (*write)(std::string_view)) {
  const PageArray<const Macro*> sorted = macros_by_name(table);
  // The macros lie wherever they were made: fetching a few ahead hides
  // most of the wait for each one.
  constexpr std::size_t kAhead = 8;
  std::string block;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    if (i + kAhead < sorted.size()) __builtin_prefetch(sorted[i + kAhead]);
    append_define_line(block, *sorted[i]);
    block += '\n';
    if (block.size() >= (std::size_t{1} << 16)) {
      write(block);
      block.clear();
    }
  }
  write(block);
}

}  // namespace sornik::cmode
