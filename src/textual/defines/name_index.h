// The exact-match index from a define name to its record.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "common/page_memory.h"
#include "textual/scan/byte_masks.h"

namespace sornik {

class DefineTable;

// Exact-match index from a define name to its index in a DefineTable: an
// open-addressing hash table of table indexes, whose records hold the hashes. It is filled while the
// definition files are read, where it finds names that come a second time,
// and rebuilt once when the table has been sorted. Most identifiers that are not
// defined are rejected before any hashing, by a small bitmap of the
// (first byte, last byte, length) combinations that define names have.
class NameIndex {
 public:
  // Adds the name of entry `entry` of `table`. Returns the entry that
  // already has this name (it stays indexed), or -1.
  int insert(const DefineTable& table, int entry);

  // Starts loading the slot where a name of hash `name_hash` is looked for,
  // so that a later insert of that name finds it in the cache.
  void prefetch(std::uint32_t name_hash) const {
    if (slots_.size() != 0) __builtin_prefetch(&slots_[name_hash & mask_]);
  }

  // Makes room for `count` more names of `table` at once.
  void expect(const DefineTable& table, std::size_t count);

  // Gives up the slots while the table is reordered; the bitmap stays.
  void drop_slots();

  // Indexes entries 0 to count - 1 of `table` again (all names different).
  void rebuild(const DefineTable& table, int count);

  // The bytes that indexed names begin with.
  const NameHeads& heads() const { return heads_; }

  // The index in `table` of `name`, or -1.
  template <typename Table = DefineTable>
  int find(std::string_view name, const Table& table) const {
    if (!may_hold(name)) return -1;
    return find_in_slots(table, name, hash(name));
  }

  // The index in `table` of `name`, whose hash is `name_hash`, or -1. A
  // template only so that DefineTable may be incomplete here: it is made
  // where DefineTable is known, inside the lookup that calls it.
  template <typename Table = DefineTable>
  int find_in_slots(const Table& table, std::string_view name, std::uint32_t name_hash) const {
    if (slots_.size() == 0) return -1;
    for (std::uint32_t slot = name_hash & mask_;; slot = (slot + 1) & mask_) {
      const Slot held = slots_[slot];
      if (held == kFree) return -1;
      if ((held ^ name_hash) >> kEntryBits != 0) continue;
      const int entry = static_cast<int>(held & kEntryMask);
      const auto& record = table.chg_tbl(entry);
      if (record.name_hash() == name_hash && table.name(record) == name) return entry;
    }
  }

  // False for a name that is surely not indexed; most such names are told
  // apart without hashing.
  bool may_hold(std::string_view name) const {
    const std::uint32_t key = filter_key(name);
    return (filter_[key >> 6] >> (key & 63) & 1) != 0;
  }

  // The entry in the first slot whose hash bits match `name_hash`, without
  // reading any record: the entry a name of that hash most likely has; -1
  // when the name is surely not indexed.
  int likely_entry(std::uint32_t name_hash) const;

  void clear();

  // The hash of a name, as the index uses it.
  static std::uint32_t hash(std::string_view name);

 private:
  // A slot holds a table index in its low 26 bits (a table has fewer than
  // 2^26 records of 32 bytes) and the top 6 bits of the name's hash above
  // them, or is all ones when free: a million names cost 8 MiB of slots.
  // The record is read only when those bits match.
  using Slot = std::uint32_t;
  static constexpr Slot kFree = UINT32_MAX;
  static constexpr int kEntryBits = 26;
  static constexpr Slot kEntryMask = (Slot{1} << kEntryBits) - 1;
  static Slot make_slot(int entry, std::uint32_t name_hash) {
    return (name_hash >> kEntryBits) << kEntryBits | static_cast<Slot>(entry);
  }

  static std::uint32_t filter_key(std::string_view name) {
    if (name.empty()) return 0;
    const auto first = static_cast<std::uint8_t>(name.front());
    const auto last = static_cast<std::uint8_t>(name.back());
    const auto length = static_cast<std::uint32_t>(name.size() & 31);
    return std::uint32_t{kFilterCode[first]} << 11 | length << 6 | kFilterCode[last];
  }
  void place(int entry, std::uint32_t name_hash);
  void resize(const DefineTable& table, std::size_t size);
  void allocate(std::size_t size);

  // Each name byte gets its own 6-bit code; every other byte shares code 63.
  static constexpr std::array<std::uint8_t, 256> kFilterCode = [] {
    std::array<std::uint8_t, 256> code{};
    code.fill(63);
    std::uint8_t next = 0;
    for (int c = '0'; c <= '9'; ++c) code[c] = next++;
    for (int c = 'A'; c <= 'Z'; ++c) code[c] = next++;
    for (int c = 'a'; c <= 'z'; ++c) code[c] = next++;
    code['_'] = next;
    return code;
  }();

  // One bit per filter key; 16 KB, so that it stays in the first-level cache.
  std::array<std::uint64_t, 2048> filter_{};
  NameHeads heads_;
  PageArray<Slot> slots_;
  std::uint32_t mask_ = 0;
  std::size_t used_ = 0;
};

}  // namespace sornik
