// The define table of a run: 16-byte records, their texts and the name
// index, filled by the reader and sorted before the sources are expanded.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "textual/defines/define_texts.h"
#include "textual/defines/name_index.h"

namespace sornik {

class DefineEntry {
 public:
  // A name or a parameter text holds fewer bytes than this.
  static constexpr std::uint32_t kSizeLimit = (1U << 11) - 1;

  // The hash of the name, as the name index uses it.
  std::uint32_t name_hash() const { return name_hash_; }

  // Resolution progress: 0 after loading, +1 per rewrite, -1 once a step found nothing.
  int resolve_cnt() const { return static_cast<int>(field(kResolveShift, kResolveBits)) - 1; }
  void set_resolve_cnt(int count) {
    set_field(kResolveShift, kResolveBits, static_cast<std::uint32_t>(count + 1));
  }

  // Whether a use in code expands to the value and nothing more (see
  // plain_value.h); worked out at the first use, forgotten when the value changes.
  enum class ValueUse : std::uint8_t { kUnknown, kPlain, kRescanned };
  ValueUse value_use() const { return static_cast<ValueUse>(field(kUseShift, kUseBits)); }
  void set_value_use(ValueUse use) { set_field(kUseShift, kUseBits, static_cast<std::uint32_t>(use)); }

 private:
  friend class DefineTable;

  // The sizes and states packed in `fields_`: name size, parameter text
  // size (all ones for none), resolve_cnt + 1, value use.
  static constexpr int kSizeBits = 11;
  static constexpr std::uint32_t kNoParams = kSizeLimit;
  static constexpr int kParamsShift = kSizeBits;
  static constexpr int kResolveShift = 2 * kSizeBits;
  static constexpr int kResolveBits = 3;
  static constexpr int kUseShift = kResolveShift + kResolveBits;
  static constexpr int kUseBits = 2;

  std::uint32_t field(int shift, int bits) const { return fields_ >> shift & ((1U << bits) - 1); }
  void set_field(int shift, int bits, std::uint32_t value) {
    const std::uint32_t mask = ((1U << bits) - 1) << shift;
    fields_ = (fields_ & ~mask) | (value << shift & mask);
  }
  std::size_t name_size() const { return field(0, kSizeBits); }
  std::uint32_t params_size() const { return field(kParamsShift, kSizeBits); }
  // The value follows the name and the parameter text.
  std::uint32_t body_offset() const {
    const std::uint32_t params = params_size();
    return text_ + static_cast<std::uint32_t>(name_size()) + (params == kNoParams ? 0 : params);
  }

  // Offset of the name in the table's texts.
  std::uint32_t text_ = 0;
  std::uint32_t body_size_ = 0;
  std::uint32_t name_hash_ = 0;
  std::uint32_t fields_ = kNoParams << kParamsShift | 1U << kResolveShift;
};

// The define table of a run: records 0 to def_cnt - 1 are in use, chg_max
// is its capacity, counted in steps of 1000. Records may move when one is
// added and when the table is sorted.
class DefineTable {
 public:
  DefineTable();
  ~DefineTable();
  DefineTable(const DefineTable&) = delete;
  DefineTable& operator=(const DefineTable&) = delete;

  int def_cnt() const { return def_cnt_; }
  int chg_max() const { return chg_max_; }
  DefineEntry& chg_tbl(int index) { return chg_tbl_[index]; }
  const DefineEntry& chg_tbl(int index) const { return chg_tbl_[index]; }

  std::string_view name(const DefineEntry& entry) const {
    return {texts_.at(entry.text_), entry.name_size()};
  }
  // The text between the parentheses of a function-like define (possibly
  // empty); no value for an object-like define.
  std::optional<std::string_view> params(const DefineEntry& entry) const {
    if (entry.params_size() == DefineEntry::kNoParams) return std::nullopt;
    return std::string_view(texts_.at(entry.text_) + entry.name_size(), entry.params_size());
  }
  // The value: as loaded, then as value resolution rewrote it.
  std::string_view body(const DefineEntry& entry) const {
    return {texts_.at(entry.body_offset()), entry.body_size_};
  }

  // The index of the names in the table.
  const NameIndex& define_index() const { return index_; }
  // Index of the record named exactly `name`, or -1. The table must be sorted.
  int def_check(std::string_view name) const { return index_.may_hold(name) ? find_named(name) : -1; }

  // Stores a new empty record at index def_cnt and counts it, raising chg_max
  // by 1000 when def_cnt equals it.
  DefineEntry& add_define_record();

  // Makes room for the texts and records of a definition file of `bytes`
  // bytes, and sizes the name index for as many defines as such a file usually holds.
  void expect_definition_file(std::size_t bytes);

  // Keeps copies of the name and the parameter text of `entry`.
  void keep_name(DefineEntry& entry, std::string_view name,
                 std::optional<std::string_view> params = std::nullopt);

  // Keeps a copy of `body` as the value of `entry`.
  void keep_body(DefineEntry& entry, std::string_view body);

  // Starts fetching what name_loaded_before will look at for the name of
  // `entry`, so that other work can be done while it arrives.
  void prefetch_loaded_name(const DefineEntry& entry) const { index_.prefetch(entry.name_hash()); }

  // True when a record stored before record `entry` (named already, and not
  // asked about before) has the same name.
  bool name_loaded_before(int entry) { return index_through(entry) >= 0; }

  // Replaces the value of `entry`, in its own storage when the new value is not
  // longer, else in a new copy.
  void rewrite_body(DefineEntry& entry, std::string_view value);

  // Sorts the records into the byte order of their names (all names
  // different) and prepares lookups.
  void sort_defines();

 private:
  // def_check for a name that the index may hold.
  int find_named(std::string_view name) const;
  void set_table_capacity(std::size_t records, std::size_t kept);
  // Indexes the records up to `entry`. Returns the record that had the name
  // of `entry` before, or -1.
  int index_through(int entry);

  DefineEntry* chg_tbl_ = nullptr;
  int chg_max_ = 0;
  int def_cnt_ = 0;
  // Records counted as allocated: the table grows geometrically underneath its
  // steps of 1000, and its limit is taken from this count.
  std::size_t allocated_records_ = 0;
  // Records the table's memory holds: as many as a file may hold are set
  // aside when it is opened (memory not written stays untouched).
  std::size_t capacity_records_ = 0;
  // Records 0 to indexed_count_ - 1 are in the index.
  int indexed_count_ = 0;
  // The texts of every record: name, parameter text and value of one record
  // lie one after the other.
  DefineTexts texts_;
  NameIndex index_;
};

}  // namespace sornik
