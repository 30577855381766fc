#include "defines/define_table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "defines/name_index.h"
#include "services/memory.h"
#include "services/text_arena.h"

namespace sornik {

DefineEntry** chg_tbl = nullptr;
int chg_max = 1000;
int def_cnt = 0;

namespace {

constexpr int kTableStep = 1000;

std::deque<DefineEntry> records;
TextArena texts;
NameIndex index;
// Entries 0 to indexed_count - 1 are in the index.
int indexed_count = 0;

// Indexes the entries up to `entry`. Returns the entry that had the name of
// `entry` before, or -1.
int index_through(int entry) {
  int earlier = -1;
  while (indexed_count <= entry) earlier = index.insert(indexed_count++);
  return earlier;
}

// An entry while the table is sorted: the first eight bytes of its name as
// one number, so that most comparisons never reach the name itself, and the
// hash of its name, so that the index can be rebuilt without the names.
struct SortKey {
  std::uint64_t prefix;
  int entry;
  std::uint32_t hash;
};

std::uint64_t name_prefix(std::string_view name) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < sizeof prefix; ++i) {
    prefix = prefix << 8 | (i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0);
  }
  return prefix;
}

// Sorts the first def_cnt entries; returns the hashes of their names in the
// new order. Equal prefixes (of zero-padded names) are decided by comp, so
// the order is exactly comp's.
std::vector<std::uint32_t> sort_table() {
  const auto count = static_cast<std::size_t>(def_cnt);
  std::vector<SortKey> keys(count);
  for (std::size_t entry = 0; entry < count; ++entry) {
    const std::string_view name = chg_tbl[entry]->name;
    keys[entry] = {name_prefix(name), static_cast<int>(entry), NameIndex::hash(name)};
  }
  std::sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    return comp(&chg_tbl[a.entry], &chg_tbl[b.entry]) < 0;
  });
  std::vector<DefineEntry*> sorted(count);
  for (std::size_t position = 0; position < count; ++position)
    sorted[position] = chg_tbl[keys[position].entry];
  std::copy(sorted.begin(), sorted.end(), chg_tbl);
  std::vector<std::uint32_t> hashes(count);
  for (std::size_t position = 0; position < count; ++position) hashes[position] = keys[position].hash;
  return hashes;
}

}  // namespace

void reset_define_table() {
  freemem(chg_tbl);
  chg_max = kTableStep;
  chg_tbl = static_cast<DefineEntry**>(getmem(chg_max * static_cast<int>(sizeof(DefineEntry*))));
  def_cnt = 0;
  records.clear();
  texts.clear();
  index.clear();
  indexed_count = 0;
}

DefineEntry& add_define_record(int count) {
  if (count == chg_max) {
    chg_max += kTableStep;
    chg_tbl = static_cast<DefineEntry**>(moremem(chg_tbl, chg_max * static_cast<int>(sizeof(DefineEntry*))));
  }
  chg_tbl[count] = &records.emplace_back();
  return *chg_tbl[count];
}

void prefetch_loaded_name(std::string_view name) { index.prefetch(name); }

bool name_loaded_before(int entry) { return index_through(entry) >= 0; }

std::string_view keep_text(std::string_view text) { return texts.store(text); }

void rewrite_body(DefineEntry& entry, std::string_view value) {
  if (value.size() <= entry.body.size() && !entry.body.empty()) {
    // The body's storage belongs to this table's arena, so it may be reused.
    char* storage = const_cast<char*>(entry.body.data());
    std::memmove(storage, value.data(), value.size());
    entry.body = {storage, value.size()};
  } else {
    entry.body = keep_text(value);
  }
}

int comp(const void* left, const void* right) {
  const std::string_view a = (*static_cast<DefineEntry* const*>(left))->name;
  const std::string_view b = (*static_cast<DefineEntry* const*>(right))->name;
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void sort_defines() {
  index_through(def_cnt - 1);
  // The slots make room for the sort and come back in the new order.
  index.drop_slots();
  index.rebuild(sort_table());
  indexed_count = def_cnt;
}

int def_check(std::string_view name) { return index.find(name); }

}  // namespace sornik
