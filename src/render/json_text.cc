// JSON string literals from bytes, well-formed UTF-8 kept as it stands.
#include "render/json_text.h"

#include <cstdint>

#include "render/utf8_sequence.h"

namespace sornik {

namespace {

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
      const std::size_t length = utf8_sequence_length(bytes, pos);
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
