// The list of built-in macros, one entry each, and their entry into a macro table.
#include "cmode/macro/builtin_macros.h"

#include <algorithm>
#include <iterator>

namespace sornik::cmode {

namespace {

constexpr BuiltinMacro kBuiltinMacros[] = {
    {"__FILE__", Builtin::file, false},
    {"__LINE__", Builtin::line, true},
    {"_Pragma", Builtin::pragma, true},
    {"__has_include", Builtin::operator_name, true},
    {"__has_include_next", Builtin::operator_name, true},
    {"__has_attribute", Builtin::feature_test, true},
    {"__has_c_attribute", Builtin::feature_test, true},
    {"__has_cpp_attribute", Builtin::feature_test, true},
    {"__has_builtin", Builtin::feature_test, true},
    {"__DATE__", Builtin::date, false},
    {"__TIME__", Builtin::time, false},
    {"__TIMESTAMP__", Builtin::timestamp, false},
    {"__COUNTER__", Builtin::counter, true},
    {"__INCLUDE_LEVEL__", Builtin::include_level, true},
    {"__BASE_FILE__", Builtin::base_file, false},
    {"__FILE_NAME__", Builtin::file_name, false},
    {"__VA_ARGS__", Builtin::variadic_name, false},
    {"__VA_OPT__", Builtin::variadic_name, false},
};

}  // namespace

const BuiltinMacro* find_builtin(std::string_view name) {
  if (name.empty() || name[0] != '_') return nullptr;
  const auto* found =
      std::find_if(std::begin(kBuiltinMacros), std::end(kBuiltinMacros), [name](const BuiltinMacro& macro) {
        return macro.name == name;
      });
  return found != std::end(kBuiltinMacros) ? found : nullptr;
}

MacroPtr make_builtin(const BuiltinMacro& builtin) {
  MacroShape shape;
  shape.name = builtin.name;
  shape.builtin = builtin.kind;
  return Macro::make(shape);
}

void define_builtins(MacroTable& table) {
  for (const BuiltinMacro& builtin : kBuiltinMacros) table.define(make_builtin(builtin));
}

}  // namespace sornik::cmode
