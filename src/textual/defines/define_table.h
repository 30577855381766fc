// The define table of a run: 16-byte records, their texts and the name
// index, filled by the reader and sorted before the sources are expanded.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "textual/defines/define_texts.h"
#include "textual/defines/name_index.h"

namespace sornik {

// The texts of every record: name, parameter text and value of one record
// lie one after the other.
extern DefineTexts define_texts;

// One define statement of a definition file, in 16 bytes: its texts live in
// define_texts until the run ends. A name or a parameter list holds less than
// 2047 bytes (a line of a definition file holds at most 1022 bytes).
class DefineEntry {
 public:
  // A name or a parameter text holds fewer bytes than this.
  static constexpr std::uint32_t kSizeLimit = (1U << 11) - 1;

  std::string_view name() const { return {define_texts.at(text_), name_size()}; }
  // The hash of the name, as the name index uses it.
  std::uint32_t name_hash() const { return name_hash_; }
  // The text between the parentheses of a function-like define (possibly
  // empty); no value for an object-like define.
  std::optional<std::string_view> params() const {
    if (params_size() == kNoParams) return std::nullopt;
    return std::string_view(define_texts.at(text_) + name_size(), params_size());
  }
  // The value: as loaded, then as value resolution rewrote it.
  std::string_view body() const { return {define_texts.at(body_offset()), body_size_}; }

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
  friend void keep_name(DefineEntry& entry, std::string_view name, std::optional<std::string_view> params);
  friend void keep_body(DefineEntry& entry, std::string_view body);
  friend void rewrite_body(DefineEntry& entry, std::string_view value);

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

  // Offset of the name in define_texts.
  std::uint32_t text_ = 0;
  std::uint32_t body_size_ = 0;
  std::uint32_t name_hash_ = 0;
  std::uint32_t fields_ = kNoParams << kParamsShift | 1U << kResolveShift;
};

// The define table: records 0 to def_cnt - 1 are in use, chg_max is its
// capacity, counted in steps of 1000.
extern DefineEntry* chg_tbl;
extern int chg_max;
extern int def_cnt;

// Empties the table and releases every record and text (start of a run).
void reset_define_table();

// Stores a new empty record at index `count`, raising chg_max by 1000 when
// `count` equals it. Records may move when one is added.
DefineEntry& add_define_record(int count);

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
void prefetch_loaded_name(const DefineEntry& entry);

// True when a record stored before record `entry` (named already, and not
// asked about before) has the same name.
bool name_loaded_before(int entry);

// Replaces the value of `entry`, in its own storage when the new value is not
// longer, else in a new copy.
void rewrite_body(DefineEntry& entry, std::string_view value);

// qsort comparison of two table records: the names' byte order, as strcmp.
int comp(const void* left, const void* right);

// Sorts the first def_cnt records into comp's order (all names different)
// and prepares lookups.
void sort_defines();

// The index of the names in the table.
extern NameIndex define_index;

// Index of the record named exactly `name`, or -1. The table must be sorted.
inline int def_check(std::string_view name) { return define_index.find(name); }

}  // namespace sornik
