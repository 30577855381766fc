#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "defines/name_index.h"

namespace sornik {

// One define statement of a definition file, in 32 bytes: its texts live in
// the table's storage until the run ends. A name or a parameter list holds
// less than 64 KiB (a line of a definition file holds at most 1022 bytes).
class DefineEntry {
 public:
  std::string_view name() const { return {name_, name_size_}; }
  // The hash of the name, as the name index uses it.
  std::uint32_t name_hash() const { return name_hash_; }
  // The text between the parentheses of a function-like define (possibly
  // empty); no value for an object-like define.
  std::optional<std::string_view> params() const {
    if (params_size_ == kNoParams) return std::nullopt;
    return std::string_view(name_ + name_size_, params_size_);
  }
  // The value: as loaded, then as value resolution rewrote it.
  std::string_view body() const { return {body_, body_size_}; }

  // Resolution progress: 0 after loading, +1 per rewrite, -1 once a step found nothing.
  std::int8_t resolve_cnt = 0;

  // Whether a use in code expands to the value and nothing more (see
  // plain_value.h); worked out at the first use, forgotten when the value changes.
  enum class ValueUse : std::uint8_t { kUnknown, kPlain, kRescanned };
  ValueUse value_use = ValueUse::kUnknown;

 private:
  friend void keep_name(DefineEntry& entry, std::string_view name, std::optional<std::string_view> params);
  friend void keep_body(DefineEntry& entry, std::string_view body);
  friend void rewrite_body(DefineEntry& entry, std::string_view value);

  static constexpr std::uint16_t kNoParams = UINT16_MAX;

  // The name, directly followed by the parameter text.
  const char* name_ = nullptr;
  const char* body_ = nullptr;
  std::uint32_t body_size_ = 0;
  std::uint32_t name_hash_ = 0;
  std::uint16_t name_size_ = 0;
  std::uint16_t params_size_ = kNoParams;
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
