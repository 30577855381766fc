// Byte classes of the program's code page (name bytes, blanks, lead bytes of
// two-byte characters), fixed and independent of the locale.
#pragma once

#include <array>
#include <cstdint>

namespace sornik {

// Byte classes of the program's code page, fixed and independent of the locale.
enum ByteClass : std::uint8_t {
  kNameByte = 1,  // A-Z a-z 0-9 _
  kBlank = 2,     // space, tab, newline, form feed
  kLeadByte = 4,  // first byte of a Shift-JIS two-byte character
};

inline constexpr std::array<std::uint8_t, 256> kByteClass = [] {
  std::array<std::uint8_t, 256> table{};
  for (int c = '0'; c <= '9'; ++c) table[c] |= kNameByte;
  for (int c = 'a'; c <= 'z'; ++c) table[c] |= kNameByte;
  for (int c = 'A'; c <= 'Z'; ++c) table[c] |= kNameByte;
  table['_'] |= kNameByte;
  for (const unsigned char c : {' ', '\t', '\n', '\f'}) table[c] |= kBlank;
  for (int c = 0x81; c <= 0x9F; ++c) table[c] |= kLeadByte;
  for (int c = 0xE0; c <= 0xFC; ++c) table[c] |= kLeadByte;
  return table;
}();

inline bool is_name_byte(char c) { return kByteClass[static_cast<std::uint8_t>(c)] & kNameByte; }
inline bool is_blank(char c) { return kByteClass[static_cast<std::uint8_t>(c)] & kBlank; }
inline bool is_lead_byte(char c) { return kByteClass[static_cast<std::uint8_t>(c)] & kLeadByte; }

}  // namespace sornik
