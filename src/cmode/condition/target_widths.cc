// Reading the target's integer widths from the predefined macros.
#include "cmode/condition/target_widths.h"

#include <algorithm>
#include <charconv>

namespace sornik::cmode {

namespace {

unsigned macro_number(const MacroTable& table, std::string_view name, unsigned fallback) {
  const Macro* macro = table.find(name);
  if (macro == nullptr) return fallback;
  const std::string_view text = macro->replacement();
  unsigned number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size() && number > 0 ? number : fallback;
}

}  // namespace

TargetWidths TargetWidths::of(const MacroTable& table) {
  TargetWidths widths;
  widths.char_bits = std::min(macro_number(table, "__CHAR_BIT__", 8), 16u);
  const auto bits = [&](std::string_view name, unsigned fallback) {
    return std::min(macro_number(table, name, fallback / widths.char_bits) * widths.char_bits, 64u);
  };
  widths.short_bits = bits("__SIZEOF_SHORT__", widths.short_bits);
  widths.int_bits = bits("__SIZEOF_INT__", widths.int_bits);
  widths.long_bits = bits("__SIZEOF_LONG__", widths.long_bits);
  widths.long_long_bits = bits("__SIZEOF_LONG_LONG__", widths.long_long_bits);
  widths.char_unsigned = table.find("__CHAR_UNSIGNED__") != nullptr;
  return widths;
}

}  // namespace sornik::cmode
