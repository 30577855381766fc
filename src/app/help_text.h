// What --help and --version print.
#pragma once

#include <string_view>

namespace sornik {

// The English help that --help prints, plain ASCII, one line per option.
extern const std::string_view kHelpText;

// What --version prints.
inline constexpr std::string_view kVersionText = "sornik 1.12\n";

}  // namespace sornik
