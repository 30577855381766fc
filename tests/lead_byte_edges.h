#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>

namespace sornik::testing {

// A byte at an edge of the lead-byte ranges 0x81-0x9F and 0xE0-0xFC, and
// whether it begins a two-byte character.
struct EdgeByte {
  char byte;
  bool lead;

  // The byte as a one-byte text.
  std::string text() const { return std::string(1, byte); }
};

inline std::ostream& operator<<(std::ostream& out, const EdgeByte& edge) {
  return out << "byte 0x" << std::hex << static_cast<int>(static_cast<std::uint8_t>(edge.byte)) << std::dec
             << (edge.lead ? " (lead)" : " (no lead)");
}

inline constexpr std::array<EdgeByte, 8> kLeadByteEdges = {{
    {'\x80', false},
    {'\x81', true},
    {'\x9F', true},
    {'\xA0', false},
    {'\xDF', false},
    {'\xE0', true},
    {'\xFC', true},
    {'\xFD', false},
}};

}  // namespace sornik::testing
