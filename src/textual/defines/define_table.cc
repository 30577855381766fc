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

namespace {

constexpr int kTableStep = 1000;

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

DefineTable::DefineTable() : chg_max_(kTableStep), allocated_records_(kTableStep) {
  set_table_capacity(kTableStep, 0);
  std::memset(static_cast<void*>(chg_tbl_), 0, kTableStep * sizeof(DefineEntry));
}

DefineTable::~DefineTable() { release_pages(chg_tbl_, capacity_records_ * sizeof(DefineEntry)); }

// Gives the table room for `records` records, keeping the first `kept`.
void DefineTable::set_table_capacity(std::size_t records, std::size_t kept) {
  auto* const larger = static_cast<DefineEntry*>(allocate_pages_unfilled(records * sizeof(DefineEntry)));
  if (chg_tbl_ != nullptr) {
    std::memcpy(static_cast<void*>(larger), chg_tbl_, kept * sizeof(DefineEntry));
    release_pages(chg_tbl_, capacity_records_ * sizeof(DefineEntry));
  }
  chg_tbl_ = larger;
  capacity_records_ = records;
}

int DefineTable::find_named(std::string_view name) const {
  return index_.find_in_slots(*this, name, NameIndex::hash(name));
}

int DefineTable::index_through(int entry) {
  int earlier = -1;
  while (indexed_count_ <= entry) earlier = index_.insert(*this, indexed_count_++);
  return earlier;
}

DefineEntry& DefineTable::add_define_record() {
  const int count = def_cnt_;
  if (count == chg_max_) {
    chg_max_ += kTableStep;
    if (static_cast<std::size_t>(chg_max_) > allocated_records_) {
      allocated_records_ = std::max<std::size_t>(chg_max_, allocated_records_ + allocated_records_ / 2);
      if (allocated_records_ * kCountedRecordBytes > static_cast<std::size_t>(terminate_size)) {
        errmsg("cannot get memory\n");
        fatal_stop();
      }
    }
  }
  const auto place = static_cast<std::size_t>(count);
  if (place == capacity_records_) set_table_capacity(std::max(allocated_records_, place + place / 2), place);
  chg_tbl_[count] = DefineEntry();
  ++def_cnt_;
  return chg_tbl_[count];
}

void DefineTable::expect_definition_file(std::size_t bytes) {
  texts_.reserve(bytes);
  index_.expect(*this, bytes / kTypicalLineBytes);
  // Unwritten records cost no memory, so room is made for the most a file may hold.
  const std::size_t records = static_cast<std::size_t>(def_cnt_) + bytes / kShortestLineBytes;
  if (records > capacity_records_) set_table_capacity(records, static_cast<std::size_t>(def_cnt_));
}

void DefineTable::keep_name(DefineEntry& entry, std::string_view name,
                            std::optional<std::string_view> params) {
  entry.set_field(0, DefineEntry::kSizeBits, record_size(name.size()));
  entry.set_field(DefineEntry::kParamsShift, DefineEntry::kSizeBits,
                  params ? record_size(params->size()) : DefineEntry::kNoParams);
  entry.name_hash_ = NameIndex::hash(name);
  entry.text_ = texts_.store(name, params.value_or(std::string_view()));
  entry.body_size_ = 0;
}

void DefineTable::keep_body(DefineEntry& entry, std::string_view body) {
  if (texts_.end() != entry.body_offset() || entry.body_size_ != 0) {
    // The value must follow the name: both are stored anew.
    const std::size_t head = entry.body_offset() - entry.text_;
    texts_.reserve(head + body.size());
    entry.text_ = texts_.store(std::string_view(texts_.at(entry.text_), head));
  }
  // The texts end the run before passing 4 GiB, so the size fits.
  texts_.store(body);
  entry.body_size_ = static_cast<std::uint32_t>(body.size());
  entry.set_value_use(DefineEntry::ValueUse::kUnknown);
}

void DefineTable::rewrite_body(DefineEntry& entry, std::string_view value) {
  if (value.size() <= entry.body_size_ && entry.body_size_ != 0) {
    // The value's storage is its own, so it may be reused.
    std::memmove(texts_.at(entry.body_offset()), value.data(), value.size());
    entry.body_size_ = static_cast<std::uint32_t>(value.size());
    entry.set_value_use(DefineEntry::ValueUse::kUnknown);
  } else {
    keep_body(entry, value);
  }
}

void DefineTable::sort_defines() {
  index_through(def_cnt_ - 1);
  if (def_cnt_ == 0) return;
  // The slots make room for the sort and are rebuilt in the new order.
  index_.drop_slots();
  const auto count = static_cast<std::size_t>(def_cnt_);
  DefineEntry* const sorted = sorted_records(*this, count);
  release_pages(chg_tbl_, capacity_records_ * sizeof(DefineEntry));
  chg_tbl_ = sorted;
  capacity_records_ = count;
  index_.rebuild(*this, def_cnt_);
  indexed_count_ = def_cnt_;
}

}  // namespace sornik
