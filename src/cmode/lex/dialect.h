// The language standards gcc knows (-std=) and what each changes in preprocessing.
#pragma once

#include <optional>
#include <string_view>

namespace sornik::cmode {

// What a language standard (gcc's -std=) changes in preprocessing.
struct Dialect {
  // The value of __STDC_VERSION__ (C) or __cplusplus (C++); empty when C90
  // leaves __STDC_VERSION__ undefined.
  std::string_view version;
  bool cplusplus = false;
  // R"delimiter(...)delimiter" is a raw string literal (the GNU dialects and
  // C++11 on).
  bool raw_strings = true;
  // `//` begins a comment (all but C90).
  bool line_comments = true;
};

// The dialect that -std=`name` chooses for C (`cplusplus` false) or C++: ""
// is the compiler's default, "ansi" what -ansi chooses. None for a name of
// the other language or no language.
std::optional<Dialect> find_dialect(std::string_view name, bool cplusplus);

}  // namespace sornik::cmode
