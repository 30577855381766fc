// The built-in macros: names the preprocessor gives a meaning before any
// #define, entered in the macro table so that #define and #undef act on them
// as on any macro.
#pragma once

#include <string_view>

#include "cmode/macro/macro.h"
#include "cmode/macro/macro_table.h"

namespace sornik::cmode {

struct BuiltinMacro {
  std::string_view name;
  Builtin kind;
  // The C compiler warns about every #define and #undef of the name, even
  // once the program has its own definition; of the others only while the
  // built-in one stands.
  bool always_warned;
};

// The built-in macro of that name, whether it is defined now or not; null
// for any other name.
const BuiltinMacro* find_builtin(std::string_view name);

// The table's entry of a built-in macro.
MacroPtr make_builtin(const BuiltinMacro& builtin);

// Enters every built-in macro into the table.
void define_builtins(MacroTable& table);

}  // namespace sornik::cmode
