#pragma once

#include <cstdint>
#include <vector>

namespace sornik {

struct DefineEntry;

// The names of the records loaded so far, for finding a name that comes a
// second time: an open-addressing hash set of table indexes, so that each
// new record costs a hash and a probe or two however large the table is.
class LoadedNames {
 public:
  // Takes in the names of `table` entries up to and including `entry`, which
  // must not have been taken in yet. True when the name of `entry` was
  // already among the earlier ones.
  bool add_through(DefineEntry* const* table, int entry);

  // Forgets every name and releases the storage.
  void clear();

 private:
  struct Slot {
    std::uint32_t hash = 0;
    int entry = -1;
  };

  // Inserts one entry; false when its name is already in.
  bool insert(DefineEntry* const* table, int entry);
  void grow();

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  int covered_ = 0;  // entries 0 to covered_ - 1 have been taken in
};

}  // namespace sornik
