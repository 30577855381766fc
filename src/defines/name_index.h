#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace sornik {

struct DefineEntry;

// Exact-match index from a define name to its table index: an open-addressing
// hash table, built once after the sort. Most identifiers that are not
// defined are rejected before any hashing, by a small bitmap of the
// (first byte, last byte, length) combinations that define names have.
class NameIndex {
 public:
  // Indexes the first `count` entries of `table`.
  void build(DefineEntry* const* table, int count);

  // The table index of `name`, or -1.
  int find(std::string_view name) const {
    const std::uint32_t key = filter_key(name);
    if ((filter_[key >> 6] >> (key & 63) & 1) == 0) return -1;
    return find_in_slots(name);
  }

  void clear();

 private:
  // The name is kept in the slot itself, so that a lookup reads the slot and
  // the name's bytes and nothing else.
  struct Slot {
    std::uint32_t hash = 0;
    int entry = -1;
    std::string_view name;
  };

  static std::uint32_t hash(std::string_view name);
  static std::uint32_t filter_key(std::string_view name) {
    if (name.empty()) return 0;
    const auto first = static_cast<std::uint8_t>(name.front());
    const auto last = static_cast<std::uint8_t>(name.back());
    const auto length = static_cast<std::uint32_t>(name.size() & 31);
    return std::uint32_t{kFilterCode[first]} << 11 | length << 6 | kFilterCode[last];
  }
  int find_in_slots(std::string_view name) const;

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
  std::vector<Slot> slots_;
  std::uint32_t mask_ = 0;
};

}  // namespace sornik
