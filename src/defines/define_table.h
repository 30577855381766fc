#pragma once

#include <optional>
#include <string_view>

namespace sornik {

// One define statement of a definition file.
struct DefineEntry {
  std::string_view name;
  // The text between the parentheses of a function-like define (possibly
  // empty); no value for an object-like define.
  std::optional<std::string_view> params;
  // The value: as loaded, then as value resolution rewrote it.
  std::string_view body;
  // Resolution progress: 0 after loading, +1 per rewrite, -1 once a step found nothing.
  int resolve_cnt = 0;
};

// The define table: entries 0 to def_cnt - 1 are in use, chg_max is its capacity.
extern DefineEntry** chg_tbl;
extern int chg_max;
extern int def_cnt;

// Empties the table and releases every record and text (start of a run).
void reset_define_table();

// Stores a new zero-filled record at index `count`, growing the table by 1000
// entries when `count` equals chg_max.
DefineEntry& add_define_record(int count);

// Starts fetching what name_loaded_before will look at for `name`, so that
// other work can be done while it arrives.
void prefetch_loaded_name(std::string_view name);

// True when a record stored before record `entry` (named already, and not
// asked about before) has the same name.
bool name_loaded_before(int entry);

// Keeps `text` until the end of the run and returns the kept copy.
std::string_view keep_text(std::string_view text);

// Replaces the value of `entry`, in its own storage when the new value is not
// longer, else in a new copy.
void rewrite_body(DefineEntry& entry, std::string_view value);

// qsort comparison of two table entries: the names' byte order, as strcmp.
int comp(const void* left, const void* right);

// Sorts the first def_cnt entries into comp's order (all names different)
// and prepares lookups.
void sort_defines();

// Index of the record named exactly `name`, or -1. The table must be sorted.
int def_check(std::string_view name);

}  // namespace sornik
