// Sorting the define records by their names' bytes: 8-byte keys and a radix
// pass on large ranges.
#include "textual/defines/record_sort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "common/page_memory.h"

namespace sornik {

namespace {

// While the table is sorted, a record is known by a key of the size of a
// record: eight bytes of its name from some offset on (zero-padded), how many
// of them it has (9 when the name goes on past them), and its index. Records
// whose names tie on those bytes are sorted again by the next eight, so every
// name is read once per level it ties on. The sorted keys become the sorted
// table in their own memory.
constexpr std::size_t kKeyBytes = 8;
constexpr std::uint64_t kNameGoesOn = kKeyBytes + 1;

struct SortKey {
  std::uint64_t bytes;
  // The count of bytes above the record index.
  std::uint64_t rest;

  std::uint32_t entry() const { return static_cast<std::uint32_t>(rest); }
  bool ties_with(const SortKey& other) const {
    return bytes == other.bytes && rest >> 32 == other.rest >> 32;
  }
  bool operator<(const SortKey& other) const {
    return bytes != other.bytes ? bytes < other.bytes : rest < other.rest;
  }
};
static_assert(sizeof(SortKey) == sizeof(DefineEntry));

SortKey make_key(const DefineTable& table, std::uint32_t entry, std::size_t offset) {
  const std::string_view name = table.name(table.chg_tbl(static_cast<int>(entry)));
  const std::size_t remaining = name.size() > offset ? name.size() - offset : 0;
  std::uint64_t bytes = 0;
  if (remaining != 0) {
    // The texts have eight bytes to spare after the last one.
    std::memcpy(&bytes, name.data() + offset, kKeyBytes);
    bytes = __builtin_bswap64(bytes);
    if (remaining < kKeyBytes) bytes &= ~std::uint64_t{0} << (kKeyBytes - remaining) * 8;
  }
  return {bytes, std::min<std::uint64_t>(remaining, kNameGoesOn) << 32 | entry};
}

// Sorts keys by their bytes from byte `byte` on (the most significant is
// byte 0), a byte at a time while a range is large, so that the ranges left
// for the comparison sort fit in the cache.
void radix_sort(SortKey* begin, SortKey* end, int byte) {
  constexpr std::ptrdiff_t kSmallRange = 2048;
  if (end - begin < kSmallRange || byte == static_cast<int>(kKeyBytes)) {
    std::sort(begin, end);
    return;
  }
  const int shift = (static_cast<int>(kKeyBytes) - 1 - byte) * 8;
  const auto digit = [shift](const SortKey& key) {
    return static_cast<std::size_t>(key.bytes >> shift & 0xff);
  };
  std::array<std::size_t, 256> counts{};
  for (const SortKey* key = begin; key != end; ++key) ++counts[digit(*key)];
  std::array<SortKey*, 256> next{};
  std::array<SortKey*, 256> bucket_end{};
  SortKey* at = begin;
  for (std::size_t d = 0; d < 256; ++d) {
    next[d] = at;
    at += counts[d];
    bucket_end[d] = at;
  }
  // Each key is swapped straight into its bucket, following the chain of
  // keys it displaces.
  for (std::size_t d = 0; d < 256; ++d) {
    while (next[d] != bucket_end[d]) {
      SortKey held = *next[d];
      for (std::size_t to = digit(held); to != d; to = digit(held)) std::swap(held, *next[to]++);
      *next[d]++ = held;
    }
  }
  at = begin;
  for (std::size_t d = 0; d < 256; ++d) {
    if (counts[d] > 1) radix_sort(at, at + counts[d], byte + 1);
    at += counts[d];
  }
}

void sort_keys(const DefineTable& table, SortKey* begin, SortKey* end, std::size_t offset) {
  // Fetching the names ahead hides most of the wait for them.
  constexpr std::ptrdiff_t kAhead = 8;
  for (SortKey* key = begin; key != end; ++key) {
    if (end - key > kAhead) {
      __builtin_prefetch(table.name(table.chg_tbl(static_cast<int>(key[kAhead].entry()))).data() + offset);
    }
    *key = make_key(table, key->entry(), offset);
  }
  radix_sort(begin, end, 0);
  for (SortKey* run = begin; run != end;) {
    SortKey* run_end = run + 1;
    while (run_end != end && run_end->ties_with(*run)) ++run_end;
    // Only names that go on can tie; equal names (never in a table) stop here.
    if (run_end - run > 1 && run->rest >> 32 == kNameGoesOn)
      sort_keys(table, run, run_end, offset + kKeyBytes);
    run = run_end;
  }
}

// Makes the sorted keys the table: each key's place takes the record it names.
void place_records(const DefineTable& table, SortKey* keys, std::size_t count) {
  constexpr std::size_t kAhead = 16;
  const DefineEntry* const records = &table.chg_tbl(0);
  auto* const placed = reinterpret_cast<DefineEntry*>(keys);
  for (std::size_t place = 0; place < count; ++place) {
    if (place + kAhead < count) __builtin_prefetch(&records[keys[place + kAhead].entry()]);
    placed[place] = records[keys[place].entry()];
  }
}

}  // namespace

DefineEntry* sorted_records(const DefineTable& table, std::size_t count) {
  auto* const keys = static_cast<SortKey*>(allocate_pages_unfilled(count * sizeof(SortKey)));
  for (std::size_t entry = 0; entry < count; ++entry) keys[entry].rest = entry;
  sort_keys(table, keys, keys + count, 0);
  place_records(table, keys, count);
  return reinterpret_cast<DefineEntry*>(keys);
}

}  // namespace sornik
