// The hash of a name, shared by the name indexes of both modes.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace sornik {

// A hash of a name, read eight bytes at a time; fast on short identifiers.
inline std::uint64_t hash_name(std::string_view name) {
  std::uint64_t hash = 0x9e3779b97f4a7c15ull ^ name.size();
  std::size_t pos = 0;
  for (; pos + 8 <= name.size(); pos += 8) {
    std::uint64_t word;
    std::memcpy(&word, name.data() + pos, 8);
    hash = (hash ^ word) * 0xff51afd7ed558ccdull;
    hash ^= hash >> 32;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, name.data() + pos, name.size() - pos);
  hash = (hash ^ tail) * 0xc4ceb9fe1a85ec53ull;
  return hash ^ (hash >> 29);
}

}  // namespace sornik
