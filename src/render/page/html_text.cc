// HTML text from bytes: references for the markup characters, Latin-1 for
// bytes of no UTF-8 sequence, a visible form for control characters.
#include "render/page/html_text.h"

#include "render/utf8_sequence.h"

namespace sornik {

namespace {

bool is_control(unsigned code) {
  return (code < 0x20 && code != '\t' && code != '\n' && code != '\r') || (code >= 0x7F && code <= 0x9F);
}

void append_control(std::string& out, unsigned code) {
  out.append("<span class=\"x\">\\x");
  out.push_back("0123456789ABCDEF"[code >> 4]);
  out.push_back("0123456789ABCDEF"[code & 15]);
  out.append("</span>");
}

}  // namespace

void append_html_text(std::string& out, std::string_view bytes) {
  std::size_t from = 0;
  std::size_t pos = 0;
  // Bytes that stand as they are gather into runs copied at once.
  const auto flush = [&] {
    out.append(bytes, from, pos - from);
  };
  while (pos < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    if (byte >= 0x80) {
      const std::size_t length = utf8_sequence_length(bytes, pos);
      const bool c1_sequence =
          length == 2 && byte == 0xC2 && static_cast<unsigned char>(bytes[pos + 1]) < 0xA0;
      if (length != 0 && !c1_sequence) {
        pos += length;
        continue;
      }
      flush();
      const unsigned code = c1_sequence ? static_cast<unsigned char>(bytes[pos + 1]) : byte;
      if (is_control(code)) {
        append_control(out, code);
      } else {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
      }
      pos += c1_sequence ? 2 : 1;
      from = pos;
      continue;
    }
    const char* reference = nullptr;
    switch (byte) {
      case '&': reference = "&amp;"; break;
      case '<': reference = "&lt;"; break;
      case '>': reference = "&gt;"; break;
      case '"': reference = "&quot;"; break;
      default:
        if (!is_control(byte)) {
          ++pos;
          continue;
        }
    }
    flush();
    if (reference != nullptr) {
      out.append(reference);
    } else {
      append_control(out, byte);
    }
    from = ++pos;
  }
  flush();
}

}  // namespace sornik
