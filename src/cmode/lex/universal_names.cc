// The characters of identifiers beyond ASCII: C11's ranges, universal
// character names and their UTF-8 spelling.
#include "cmode/lex/universal_names.h"

#include <algorithm>
#include <array>

namespace sornik::cmode {

namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// C11 Annex D.1: the characters allowed in an identifier.
constexpr std::array<Range, 45> kAllowed = {{
    {0xA8, 0xA8},       {0xAA, 0xAA},       {0xAD, 0xAD},       {0xAF, 0xAF},       {0xB2, 0xB5},
    {0xB7, 0xBA},       {0xBC, 0xBE},       {0xC0, 0xD6},       {0xD8, 0xF6},       {0xF8, 0xFF},
    {0x100, 0x167F},    {0x1681, 0x180D},   {0x180F, 0x1FFF},   {0x200B, 0x200D},   {0x202A, 0x202E},
    {0x203F, 0x2040},   {0x2054, 0x2054},   {0x2060, 0x206F},   {0x2070, 0x218F},   {0x2460, 0x24FF},
    {0x2776, 0x2793},   {0x2C00, 0x2DFF},   {0x2E80, 0x2FFF},   {0x3004, 0x3007},   {0x3021, 0x302F},
    {0x3031, 0x303F},   {0x3040, 0xD7FF},   {0xF900, 0xFD3D},   {0xFD40, 0xFDCF},   {0xFDF0, 0xFE44},
    {0xFE47, 0xFFFD},   {0x10000, 0x1FFFD}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}, {0x40000, 0x4FFFD},
    {0x50000, 0x5FFFD}, {0x60000, 0x6FFFD}, {0x70000, 0x7FFFD}, {0x80000, 0x8FFFD}, {0x90000, 0x9FFFD},
    {0xA0000, 0xAFFFD}, {0xB0000, 0xBFFFD}, {0xC0000, 0xCFFFD}, {0xD0000, 0xDFFFD}, {0xE0000, 0xEFFFD},
}};

// C11 Annex D.2: those of them not allowed first.
constexpr std::array<Range, 4> kNotFirst = {
    {{0x300, 0x36F}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F}}};

template <std::size_t N>
bool in_ranges(const std::array<Range, N>& ranges, char32_t code) {
  const auto after =
      std::upper_bound(ranges.begin(), ranges.end(), code, [](char32_t value, const Range& range) {
        return value < range.first;
      });
  return after != ranges.begin() && code <= (after - 1)->last;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | ((code >> 18) & 0x07)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The character of the well-formed UTF-8 sequence at the start of `text`
// and its length; 0 when none begins there.
std::size_t utf8_character(std::string_view text, char32_t& code) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || length > text.size() || lead > 0xF4) return 0;
  code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  return length;
}

}  // namespace

bool allowed_in_identifier(char32_t code) { return in_ranges(kAllowed, code); }

bool allowed_at_identifier_start(char32_t code) {
  return allowed_in_identifier(code) && !in_ranges(kNotFirst, code);
}

std::size_t universal_name_length(std::string_view text, char32_t& code) {
  if (text.size() < 2 || text[0] != '\\' || (text[1] != 'u' && text[1] != 'U')) return 0;
  const std::size_t length = text[1] == 'u' ? 6 : 10;
  if (text.size() < length) return 0;
  code = 0;
  for (std::size_t i = 2; i < length; ++i) {
    const int digit = hex_value(text[i]);
    if (digit < 0) return 0;
    code = (code << 4) | static_cast<char32_t>(digit);
  }
  return length;
}

void append_utf8_name(std::string& out, std::string_view name) {
  for (std::size_t pos = 0; pos < name.size();) {
    char32_t code = 0;
    const std::size_t length = universal_name_length(name.substr(pos), code);
    if (length == 0) {
      out.push_back(name[pos++]);
      continue;
    }
    // A character no UTF-8 holds keeps its spelling: it names itself.
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      out.append(name.substr(pos, length));
    } else {
      append_utf8(out, code);
    }
    pos += length;
  }
}

void append_listed_name(std::string& out, std::string_view name) {
  for (std::size_t pos = 0; pos < name.size();) {
    char32_t code = 0;
    const std::size_t length =
        static_cast<unsigned char>(name[pos]) >= 0x80 ? utf8_character(name.substr(pos), code) : 0;
    if (length == 0) {
      out.push_back(name[pos++]);
      continue;
    }
    out.append("\\U");
    for (int shift = 28; shift >= 0; shift -= 4) out.push_back("0123456789abcdef"[(code >> shift) & 0xF]);
    pos += length;
  }
}

std::string identifier_character_errors(std::string_view name) {
  std::string errors;
  for (std::size_t pos = 0; pos < name.size();) {
    const bool first = pos == 0;
    char32_t code = 0;
    std::size_t length = universal_name_length(name.substr(pos), code);
    if (length != 0) {
      const std::string_view spelling = name.substr(pos, length);
      const bool basic = code < 0xA0 && code != '$' && code != '@' && code != '`';
      if (basic || (code >= 0xD800 && code <= 0xDFFF)) {
        errors.append(spelling).append(" is not a valid universal character\n");
      } else if (code != '$' && !allowed_in_identifier(code)) {
        errors.append("universal character ").append(spelling).append(" is not valid in an identifier\n");
      } else if (first && code != '$' && !allowed_at_identifier_start(code)) {
        errors.append("universal character ")
            .append(spelling)
            .append(" is not valid at the start of an identifier\n");
      }
    } else if ((length = utf8_character(name.substr(pos), code)) != 0) {
      if (first && !allowed_at_identifier_start(code)) {
        errors.append("extended character ")
            .append(name.substr(pos, length))
            .append(" is not valid at the start of an identifier\n");
      }
    } else {
      length = 1;
    }
    pos += length;
  }
  return errors;
}

}  // namespace sornik::cmode
