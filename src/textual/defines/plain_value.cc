// Whether a use of a define in code expands to its value and nothing more.
#include "textual/defines/plain_value.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "common/byte_class.h"

namespace sornik {

namespace {

// Bytes that a scan of code treats apart, or that the marked text of a line
// holds escaped.
constexpr std::array<bool, 256> kApart = [] {
  std::array<bool, 256> apart{};
  for (int c = 0x00; c <= 0x04; ++c) apart[c] = true;
  for (int c = 0x80; c <= 0xFF; ++c) apart[c] = true;
  for (const unsigned char c : {'"', '\'', '\\'}) apart[c] = true;
  return apart;
}();

// The value checks of has_plain_value.
bool scans_unchanged(const DefineTable& table, std::string_view value) {
  if (value.empty()) return false;
  for (std::size_t pos = 0; pos < value.size();) {
    const char c = value[pos];
    if (kApart[static_cast<std::uint8_t>(c)]) return false;
    const char next = pos + 1 < value.size() ? value[pos + 1] : '\0';
    if ((c == '/' && (next == '/' || next == '*')) || (c == '*' && next == '/')) return false;
    if (!is_name_byte(c)) {
      ++pos;
      continue;
    }
    const std::size_t start = pos;
    while (pos < value.size() && is_name_byte(value[pos])) ++pos;
    if (table.def_check(value.substr(start, pos - start)) >= 0) return false;
  }
  return true;
}

}  // namespace

bool has_plain_value(const DefineTable& table, DefineEntry& entry) {
  using ValueUse = DefineEntry::ValueUse;
  if (entry.value_use() == ValueUse::kUnknown) {
    const bool plain = !table.params(entry) && scans_unchanged(table, table.body(entry));
    entry.set_value_use(plain ? ValueUse::kPlain : ValueUse::kRescanned);
  }
  return entry.value_use() == ValueUse::kPlain;
}

}  // namespace sornik
