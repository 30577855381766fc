// The check of one UTF-8 sequence against the table of well-formed byte ranges.
#include "render/utf8_sequence.h"

namespace sornik {

std::size_t utf8_sequence_length(std::string_view bytes, std::size_t pos) {
  const auto byte = [&](std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
  };
  const unsigned lead = byte(pos);
  std::size_t length;
  unsigned low = 0x80;
  unsigned high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (pos + length > bytes.size()) return 0;
  // Only the second byte has a narrower range.
  if (byte(pos + 1) < low || byte(pos + 1) > high) return 0;
  for (std::size_t at = pos + 2; at < pos + length; ++at) {
    if (byte(at) < 0x80 || byte(at) > 0xBF) return 0;
  }
  return length;
}

}  // namespace sornik
