// The Japanese help lines that -usage prints; a run without arguments shows the usage line.
#pragma once

#include <array>
#include <string_view>

namespace sornik {

// The 20 lines of the help text, Japanese in Shift-JIS.
extern const std::array<std::string_view, 20> usage_tbl;

// Index of the usage line within usage_tbl.
inline constexpr std::size_t kUsageLine = 2;

}  // namespace sornik
