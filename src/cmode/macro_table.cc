#include "cmode/macro_table.h"

namespace sornik::cmode {

const Macro* MacroTable::find(std::string_view name) const {
  const auto found = macros_.find(name);
  return found == macros_.end() ? nullptr : found->second.get();
}

void MacroTable::define(std::unique_ptr<Macro> macro) {
  const auto found = macros_.find(macro->name);
  if (found != macros_.end()) macros_.erase(found);
  const std::string_view key = macro->name;
  macros_.emplace(key, std::move(macro));
}

bool MacroTable::undefine(std::string_view name) { return macros_.erase(name) != 0; }

}  // namespace sornik::cmode
