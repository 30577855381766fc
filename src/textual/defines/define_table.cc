// The define table of a run: 16-byte records, their texts and the name
// index, filled by the reader and sorted before the sources are expanded.
#include "textual/defines/define_table.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "common/fatal.h"
#include "common/memory.h"
#include "common/page_memory.h"
#include "textual/defines/name_index.h"
#include "textual/defines/record_sort.h"

namespace sornik {

DefineEntry* chg_tbl = nullptr;
NameIndex define_index;
DefineTexts define_texts;
int chg_max = 1000;
int def_cnt = 0;

namespace {

constexpr int kTableStep = 1000;

// Records counted as allocated: the table grows geometrically underneath its
// steps of 1000, and its limit is taken from this count.
std::size_t allocated_records = 0;
// Records the table's memory holds: as many as a file may hold are set
// aside when it is opened (memory not written stays untouched).
std::size_t capacity_records = 0;

// Gives the table room for `records` records, keeping the first `kept`.
void set_table_capacity(std::size_t records, std::size_t kept) {
  auto* const larger = static_cast<DefineEntry*>(allocate_pages_unfilled(records * sizeof(DefineEntry)));
  if (chg_tbl != nullptr) {
    std::memcpy(static_cast<void*>(larger), chg_tbl, kept * sizeof(DefineEntry));
    release_pages(chg_tbl, capacity_records * sizeof(DefineEntry));
  }
  chg_tbl = larger;
  capacity_records = records;
}
// Records 0 to indexed_count - 1 are in the index.
int indexed_count = 0;

// Indexes the records up to `entry`. Returns the record that had the name of
// `entry` before, or -1.
int index_through(int entry) {
  int earlier = -1;
  while (indexed_count <= entry) earlier = define_index.insert(indexed_count++);
  return earlier;
}

// The table holds at most terminate_size bytes counted at 32 bytes a record:
// fewer than 2^26 records, as the name index numbers them.
constexpr std::size_t kCountedRecordBytes = 32;

// A definition file holds about one define in this many bytes; the name
// index is sized for that many at once.
constexpr std::size_t kTypicalLineBytes = 56;
// Few define lines are shorter than this.
constexpr std::size_t kShortestLineBytes = 16;

// A name or parameter text too long for a record's sizes is memory that
// cannot be had.
std::uint32_t record_size(std::size_t size) {
  if (size >= DefineEntry::kSizeLimit) {
    errmsg("cannot get memory\n");
    fatal_stop();
  }
  return static_cast<std::uint32_t>(size);
}

}  // namespace

void reset_define_table() {
  if (chg_tbl != nullptr) release_pages(chg_tbl, capacity_records * sizeof(DefineEntry));
  chg_tbl = nullptr;
  chg_max = kTableStep;
  allocated_records = kTableStep;
  set_table_capacity(kTableStep, 0);
  std::memset(static_cast<void*>(chg_tbl), 0, kTableStep * sizeof(DefineEntry));
  def_cnt = 0;
  define_texts.release();
  define_index.clear();
  indexed_count = 0;
}

DefineEntry& add_define_record(int count) {
  if (count == chg_max) {
    chg_max += kTableStep;
    if (static_cast<std::size_t>(chg_max) > allocated_records) {
      allocated_records = std::max<std::size_t>(chg_max, allocated_records + allocated_records / 2);
      if (allocated_records * kCountedRecordBytes > static_cast<std::size_t>(terminate_size)) {
        errmsg("cannot get memory\n");
        fatal_stop();
      }
    }
  }
  const auto place = static_cast<std::size_t>(count);
  if (place == capacity_records) set_table_capacity(std::max(allocated_records, place + place / 2), place);
  chg_tbl[count] = DefineEntry();
  return chg_tbl[count];
}

void expect_definition_file(std::size_t bytes) {
  define_texts.reserve(bytes);
  define_index.expect(bytes / kTypicalLineBytes);
  // Unwritten records cost no memory, so room is made for the most a file may hold.
  const std::size_t records = static_cast<std::size_t>(def_cnt) + bytes / kShortestLineBytes;
  if (records > capacity_records) set_table_capacity(records, static_cast<std::size_t>(def_cnt));
}

void keep_name(DefineEntry& entry, std::string_view name, std::optional<std::string_view> params) {
  entry.set_field(0, DefineEntry::kSizeBits, record_size(name.size()));
  entry.set_field(DefineEntry::kParamsShift, DefineEntry::kSizeBits,
                  params ? record_size(params->size()) : DefineEntry::kNoParams);
  entry.name_hash_ = NameIndex::hash(name);
  entry.text_ = define_texts.store(name, params.value_or(std::string_view()));
  entry.body_size_ = 0;
}

void keep_body(DefineEntry& entry, std::string_view body) {
  if (define_texts.end() != entry.body_offset() || entry.body_size_ != 0) {
    // The value must follow the name: both are stored anew.
    const std::size_t head = entry.body_offset() - entry.text_;
    define_texts.reserve(head + body.size());
    entry.text_ = define_texts.store(std::string_view(define_texts.at(entry.text_), head));
  }
  // The texts end the run before passing 4 GiB, so the size fits.
  define_texts.store(body);
  entry.body_size_ = static_cast<std::uint32_t>(body.size());
  entry.set_value_use(DefineEntry::ValueUse::kUnknown);
}

void prefetch_loaded_name(const DefineEntry& entry) { define_index.prefetch(entry.name_hash()); }

bool name_loaded_before(int entry) { return index_through(entry) >= 0; }

void rewrite_body(DefineEntry& entry, std::string_view value) {
  if (value.size() <= entry.body_size_ && entry.body_size_ != 0) {
    // The value's storage is its own, so it may be reused.
    std::memmove(define_texts.at(entry.body_offset()), value.data(), value.size());
    entry.body_size_ = static_cast<std::uint32_t>(value.size());
    entry.set_value_use(DefineEntry::ValueUse::kUnknown);
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
  if (def_cnt == 0) return;
  // The slots make room for the sort and are rebuilt in the new order.
  define_index.drop_slots();
  const auto count = static_cast<std::size_t>(def_cnt);
  DefineEntry* const sorted = sorted_records(count);
  release_pages(chg_tbl, capacity_records * sizeof(DefineEntry));
  chg_tbl = sorted;
  capacity_records = count;
  define_index.rebuild(def_cnt);
  indexed_count = def_cnt;
}

}  // namespace sornik
