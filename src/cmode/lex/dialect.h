// The language standards gcc knows (-std=) and the version each predefines.
#pragma once

#include <optional>
#include <string_view>

namespace sornik::cmode {

// A language standard (gcc's -std=) as the preprocessor sees it.
struct Dialect {
  // The value of __STDC_VERSION__ (C) or __cplusplus (C++); empty when C90
  // leaves __STDC_VERSION__ undefined.
  std::string_view version;
  bool cplusplus = false;
};

// The dialect that -std=`name` chooses for C (`cplusplus` false) or C++: ""
// is the compiler's default, "ansi" what -ansi chooses. None for a name of
// the other language or no language.
std::optional<Dialect> find_dialect(std::string_view name, bool cplusplus);

}  // namespace sornik::cmode
