#include "cmode/macro_table.h"

namespace sornik::cmode {

const Macro* MacroTable::find(std::string_view name) const {
  if (!may_hold(name)) return nullptr;
  const auto found = macros_.find(name);
  return found == macros_.end() ? nullptr : found->second.get();
}

void MacroTable::define(std::unique_ptr<Macro> macro) { replace(std::move(macro)); }

bool MacroTable::undefine(std::string_view name) { return remove(name) != nullptr; }

std::unique_ptr<Macro> MacroTable::replace(std::unique_ptr<Macro> macro) {
  std::unique_ptr<Macro> old = remove(macro->name);
  const std::string_view key = macro->name;
  if (!key.empty()) ++filter_[filter_key(key)];
  macros_.emplace(key, std::move(macro));
  return old;
}

std::unique_ptr<Macro> MacroTable::remove(std::string_view name) {
  const auto found = macros_.find(name);
  if (found == macros_.end()) return nullptr;
  std::unique_ptr<Macro> old = std::move(found->second);
  macros_.erase(found);
  if (!name.empty()) --filter_[filter_key(name)];
  return old;
}

}  // namespace sornik::cmode
