// JSON string literals from bytes, with a check of UTF-8 sequences.
#include "render/json_text.h"

#include <cstdint>

namespace sornik {

namespace {

// The length of the well-formed UTF-8 sequence at `pos` (lead byte 0x80 or
// above), or 0 when there is none: no overlong form, no surrogate, nothing
// above U+10FFFF.
std::size_t utf8_length(std::string_view bytes, std::size_t pos) {
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

void append_code_escape(std::string& out, unsigned char byte) {
  out.append("\\u00");
  out.push_back("0123456789abcdef"[byte >> 4]);
  out.push_back("0123456789abcdef"[byte & 15]);
}

}  // namespace

void append_json_string(std::string& out, std::string_view bytes) {
  out.push_back('"');
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    if (byte >= 0x80) {
      const std::size_t length = utf8_length(bytes, pos);
      if (length == 0) {
        append_code_escape(out, byte);
        ++pos;
      } else {
        out.append(bytes, pos, length);
        pos += length;
      }
      continue;
    }
    ++pos;
    switch (byte) {
      case '"': out.append("\\\""); break;
      case '\\': out.append("\\\\"); break;
      case '\n': out.append("\\n"); break;
      case '\t': out.append("\\t"); break;
      case '\r': out.append("\\r"); break;
      case '\b': out.append("\\b"); break;
      case '\f': out.append("\\f"); break;
      default:
        if (byte < 0x20) {
          append_code_escape(out, byte);
        } else {
          out.push_back(static_cast<char>(byte));
        }
    }
  }
  out.push_back('"');
}

}  // namespace sornik
