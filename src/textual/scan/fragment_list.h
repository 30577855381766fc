// The fragment list: the pieces of physical lines that a scan collects.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sornik {

// An ordered list of texts in which equal entries are kept again: the pieces
// of physical lines that a scan collects. The entries live end to end in one
// text, so adding a piece costs no allocation once the list has warmed up.
struct FragmentList {
  std::string joined;             // every entry, in order, nothing between them
  std::vector<std::size_t> ends;  // where each entry ends in `joined`
  std::size_t name_cursor = 0;    // the entry that get_name(lst, 1) gives next
};

// Makes `lst` an empty list and releases its storage.
void name_init(FragmentList& lst);

// Appends a copy of `newtext`; any byte, NUL included, and any length.
void add_name(FragmentList& lst, std::string_view newtext);

// Mode 0: the first entry; mode 1: the entry after the one given last.
// No value past the last entry (the cursor then stays where it is).
std::optional<std::string_view> get_name(FragmentList& lst, int mode);

// Removes every entry; keeps modest storage for the next use.
void del_allname(FragmentList& lst);

}  // namespace sornik
