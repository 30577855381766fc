#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace sornik {

struct DefineEntry;

// Exact-match index from a define name to its table index: an open-addressing
// hash table, built once after the sort. An identifier that is not defined is
// rejected after hashing it and probing a slot or two.
class NameIndex {
 public:
  // Indexes the first `count` entries of `table`.
  void build(DefineEntry* const* table, int count);

  // The table index of `name`, or -1.
  int find(std::string_view name) const;

  void clear();

 private:
  struct Slot {
    std::uint32_t hash = 0;
    int entry = -1;
  };

  static std::uint32_t hash(std::string_view name);

  std::vector<Slot> slots_;
  DefineEntry* const* table_ = nullptr;
  std::uint32_t mask_ = 0;
};

}  // namespace sornik
