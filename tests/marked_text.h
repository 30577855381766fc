#pragma once

#include <string>
#include <string_view>

namespace sornik::testing {

// Writes marked texts readably in tests: "{3}", "{1}", "{2}" and "{4}" stand
// for the start, separator, end and escape marks.
inline std::string marked(std::string_view readable) {
  std::string text;
  for (std::size_t pos = 0; pos < readable.size(); ++pos) {
    if (readable[pos] == '{' && pos + 2 < readable.size() && readable[pos + 2] == '}' &&
        readable[pos + 1] >= '1' && readable[pos + 1] <= '4') {
      text.push_back(static_cast<char>(readable[pos + 1] - '0'));
      pos += 2;
    } else {
      text.push_back(readable[pos]);
    }
  }
  return text;
}

}  // namespace sornik::testing
