#include "defines/define_table.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "defines/name_index.h"
#include "services/diagnostics.h"
#include "services/fatal.h"
#include "services/memory.h"
#include "services/text_arena.h"

namespace sornik {

DefineEntry* chg_tbl = nullptr;
NameIndex define_index;
int chg_max = 1000;
int def_cnt = 0;

namespace {

constexpr int kTableStep = 1000;

// Records actually allocated: the table grows geometrically underneath its
// steps of 1000, so that a million records are not copied a thousand times.
std::size_t allocated_records = 0;
TextArena texts;
// Records 0 to indexed_count - 1 are in the index.
int indexed_count = 0;

// Indexes the records up to `entry`. Returns the record that had the name of
// `entry` before, or -1.
int index_through(int entry) {
  int earlier = -1;
  while (indexed_count <= entry) earlier = define_index.insert(indexed_count++);
  return earlier;
}

// A text too long for a record's sizes is memory that cannot be had.
template <typename Size>
Size record_size(std::size_t size) {
  if (size >= std::numeric_limits<Size>::max()) {
    errmsg("cannot get memory\n");
    fatal_stop();
  }
  return static_cast<Size>(size);
}

// While the table is sorted, a record is known by one number: three bytes of
// its name from some offset on (zero-padded) and how many of them it has (4
// when the name goes on past them), then its index. Records whose names tie
// on those bytes are sorted again by the next three, so every name is read
// once per level it ties on. Eight bytes a record fit where the dropped
// index slots were.
constexpr std::size_t kKeyBytes = 3;
constexpr std::uint64_t kNameGoesOn = kKeyBytes + 1;

using SortKey = std::uint64_t;

std::uint32_t key_entry(SortKey key) { return static_cast<std::uint32_t>(key); }
std::uint32_t key_bytes(SortKey key) { return static_cast<std::uint32_t>(key >> 32); }

SortKey make_key(std::uint32_t entry, std::size_t offset) {
  const std::string_view name = chg_tbl[entry].name();
  const std::size_t remaining = name.size() > offset ? name.size() - offset : 0;
  std::uint64_t bytes = 0;
  for (std::size_t i = 0; i < kKeyBytes; ++i)
    bytes = bytes << 8 | (i < remaining ? static_cast<std::uint8_t>(name[offset + i]) : 0);
  return (bytes << 8 | std::min<std::uint64_t>(remaining, kNameGoesOn)) << 32 | entry;
}

void sort_keys(SortKey* begin, SortKey* end, std::size_t offset) {
  // Fetching the records and names ahead hides most of the wait for them.
  constexpr std::ptrdiff_t kAhead = 8;
  for (SortKey* key = begin; key != end; ++key) {
    if (end - key > kAhead) __builtin_prefetch(chg_tbl[key_entry(key[kAhead])].name().data() + offset);
    *key = make_key(key_entry(*key), offset);
  }
  std::sort(begin, end);
  for (SortKey* run = begin; run != end;) {
    SortKey* run_end = run + 1;
    while (run_end != end && key_bytes(*run_end) == key_bytes(*run)) ++run_end;
    // Only names that go on can tie; equal names (never in a table) stop here.
    if (run_end - run > 1 && (key_bytes(*run) & 0xff) == kNameGoesOn)
      sort_keys(run, run_end, offset + kKeyBytes);
    run = run_end;
  }
}

// Moves every record to the place the sorted keys give it, following the
// cycles of the permutation so that no second table is needed.
void place_records(std::vector<SortKey>& keys) {
  for (std::size_t start = 0; start < keys.size(); ++start) {
    if (key_entry(keys[start]) == start) continue;
    const DefineEntry held = chg_tbl[start];
    std::size_t place = start;
    while (key_entry(keys[place]) != start) {
      const std::size_t from = key_entry(keys[place]);
      chg_tbl[place] = chg_tbl[from];
      keys[place] = place;
      place = from;
    }
    chg_tbl[place] = held;
    keys[place] = place;
  }
}

}  // namespace

void reset_define_table() {
  freemem(chg_tbl);
  chg_max = kTableStep;
  allocated_records = kTableStep;
  chg_tbl = static_cast<DefineEntry*>(getmem(chg_max * static_cast<int>(sizeof(DefineEntry))));
  def_cnt = 0;
  texts.clear();
  define_index.clear();
  indexed_count = 0;
}

DefineEntry& add_define_record(int count) {
  if (count == chg_max) {
    chg_max += kTableStep;
    if (static_cast<std::size_t>(chg_max) > allocated_records) {
      allocated_records = std::max<std::size_t>(chg_max, allocated_records + allocated_records / 2);
      const std::size_t bytes = allocated_records * sizeof(DefineEntry);
      if (bytes > static_cast<std::size_t>(terminate_size)) {
        errmsg("cannot get memory\n");
        fatal_stop();
      }
      chg_tbl = static_cast<DefineEntry*>(moremem(chg_tbl, static_cast<int>(bytes)));
    }
  }
  chg_tbl[count] = DefineEntry();
  return chg_tbl[count];
}

void keep_name(DefineEntry& entry, std::string_view name, std::optional<std::string_view> params) {
  entry.name_size_ = record_size<std::uint16_t>(name.size());
  entry.name_hash_ = NameIndex::hash(name);
  if (!params) {
    entry.name_ = texts.store(name).data();
    entry.params_size_ = DefineEntry::kNoParams;
    return;
  }
  entry.params_size_ = record_size<std::uint16_t>(params->size());
  entry.name_ = texts.store(name, *params).data();
}

void keep_body(DefineEntry& entry, std::string_view body) {
  entry.body_size_ = record_size<std::uint32_t>(body.size());
  entry.body_ = texts.store(body).data();
  entry.value_use = DefineEntry::ValueUse::kUnknown;
}

void prefetch_loaded_name(const DefineEntry& entry) { define_index.prefetch(entry.name_hash()); }

bool name_loaded_before(int entry) { return index_through(entry) >= 0; }

void rewrite_body(DefineEntry& entry, std::string_view value) {
  if (value.size() <= entry.body_size_ && entry.body_size_ != 0) {
    // The body's storage belongs to this table's arena, so it may be reused.
    char* storage = const_cast<char*>(entry.body_);
    std::memmove(storage, value.data(), value.size());
    entry.body_size_ = static_cast<std::uint32_t>(value.size());
    entry.value_use = DefineEntry::ValueUse::kUnknown;
  } else {
    keep_body(entry, value);
  }
}

int comp(const void* left, const void* right) {
  const std::string_view a = static_cast<const DefineEntry*>(left)->name();
  const std::string_view b = static_cast<const DefineEntry*>(right)->name();
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void sort_defines() {
  index_through(def_cnt - 1);
  // The slots make room for the sort and are rebuilt in the new order.
  define_index.drop_slots();
  {
    std::vector<SortKey> keys(static_cast<std::size_t>(def_cnt));
    for (std::size_t entry = 0; entry < keys.size(); ++entry) keys[entry] = entry;
    sort_keys(keys.data(), keys.data() + keys.size(), 0);
    place_records(keys);
  }
  define_index.rebuild(def_cnt);
  indexed_count = def_cnt;
}

}  // namespace sornik
