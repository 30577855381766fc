#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cmode/token.h"

namespace sornik::cmode {

// One macro as #define made it.
struct Macro {
  std::string name;
  bool function_like = false;
  // The last parameter takes the variable arguments: "..." (named
  // "__VA_ARGS__" in `params`) or a GNU named one ("args...", named "args").
  bool variadic = false;
  std::vector<std::string> params;
  // The replacement list; token texts point into `storage` and stay valid as
  // long as the macro. begin/end are offsets into `storage`.
  std::vector<Token> body;
  std::string storage;
};

// Macros by name. A defined macro keeps its address until it is undefined or
// redefined, so that expansions in progress may hold pointers to it.
class MacroTable {
 public:
  // The macro named `name`, or null.
  const Macro* find(std::string_view name) const;

  // Adds or replaces the macro of that name.
  void define(std::unique_ptr<Macro> macro);

  // Removes the macro of that name; false when there was none.
  bool undefine(std::string_view name);

  // Adds or replaces the macro of that name and hands back the definition it
  // replaced (null if none), e.g. to restore it later.
  std::unique_ptr<Macro> replace(std::unique_ptr<Macro> macro);

  // Removes the macro of that name and hands it back (null if none).
  std::unique_ptr<Macro> remove(std::string_view name);

  std::size_t size() const { return macros_.size(); }

  // False when no macro has that name, decided without a hash lookup: a
  // quick test for the many names of C code that are no macro.
  bool may_hold(std::string_view name) const { return !name.empty() && filter_[filter_key(name)] != 0; }

  // Every macro, in no particular order.
  template <typename Visit>
  void for_each(Visit visit) const {
    for (const auto& [name, macro] : macros_) visit(*macro);
  }

 private:
  // How many names fall on each key of a cheap hash (length, first and last
  // byte): most names of C code are no macro, and a zero count says so
  // before any hash table is looked at.
  static std::size_t filter_key(std::string_view name) {
    return (name.size() * 31 + static_cast<unsigned char>(name.front()) * 7 +
            static_cast<unsigned char>(name.back())) &
           (kFilterSize - 1);
  }
  static constexpr std::size_t kFilterSize = 4096;

  std::unordered_map<std::string_view, std::unique_ptr<Macro>> macros_;
  std::array<std::uint32_t, kFilterSize> filter_{};
};

}  // namespace sornik::cmode
