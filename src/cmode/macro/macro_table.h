// The macro table: macros by name, with a quick filter for names that are none.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "cmode/lex/universal_names.h"
#include "cmode/macro/definition_files.h"
#include "cmode/macro/macro.h"
#include "common/name_hash.h"
#include "common/page_memory.h"

namespace sornik::cmode {

// Macros by name. A defined macro keeps its address until it is undefined or
// redefined, so that expansions in progress may hold pointers to it.
class MacroTable {
 public:
  MacroTable() = default;
  MacroTable(const MacroTable&) = delete;
  MacroTable& operator=(const MacroTable&) = delete;
  ~MacroTable();

  // The macro named `name`, or null. A name written with universal
  // character names (\u00e9) finds the macro of its UTF-8 spelling (é).
  const Macro* find(std::string_view name) const;

  // Whether a use of `name` is replaced: it names a macro, and not one of
  // the operators of #if.
  bool replaces(std::string_view name) const {
    if (!may_hold(name) && !universal_names_met()) return false;
    const Macro* macro = find(name);
    return macro != nullptr && macro->replaced();
  }

  // Whether `name` names a macro, the operators of #if among them: a code
  // line replaces those too.
  bool holds(std::string_view name) const {
    if (!may_hold(name) && !universal_names_met()) return false;
    return find(name) != nullptr;
  }

  // Asks for the slot where a name of that hash (hash_name) would be looked
  // for, so that a define or a find of that name soon after need not wait
  // for memory.
  void prefetch(std::uint64_t name_hash) const {
    if (slots_.size() != 0) __builtin_prefetch(&slots_[name_hash & (slots_.size() - 1)], 1);
  }

  // Adds or replaces the macro of that name.
  void define(MacroPtr macro) { replace(std::move(macro)); }

  // Removes the macro of that name; false when there was none.
  bool undefine(std::string_view name) { return remove(name) != nullptr; }

  // Adds or replaces the macro of that name and hands back the definition it
  // replaced (null if none), e.g. to restore it later.
  MacroPtr replace(MacroPtr macro) {
    const std::uint64_t name_hash = hash_name(macro->name());
    return replace(std::move(macro), name_hash);
  }
  // As replace(macro), with the hash_name of its name already known.
  MacroPtr replace(MacroPtr macro, std::uint64_t name_hash);

  // Removes the macro of that name and hands it back (null if none).
  MacroPtr remove(std::string_view name);

  std::size_t size() const { return size_; }

  // Calls `visit` with each macro of the table, in no particular order.
  template <typename Visit>
  void for_each_macro(Visit visit) const {
    for (std::size_t slot = 0; slot < slots_.size(); ++slot)
      if (holds_macro(slots_[slot])) visit(*slots_[slot].macro);
  }

  // The files the definitions come from (Macro::definition_file indexes them).
  DefinitionFiles& definition_files() { return definition_files_; }
  const DefinitionFiles& definition_files() const { return definition_files_; }

  // Makes room for `names` macros in all at once, so that a table about to
  // take many of them is not grown (and its slots moved) step by step.
  void reserve(std::size_t names);

  // False when no macro has that name, decided without a hash lookup: a
  // quick test for the many names of C code that are no macro.
  bool may_hold(std::string_view name) const { return !name.empty() && filter_[filter_key(name)] != 0; }

  // Open addressing: a slot holds a macro with the hash of its name,
  // nothing, or the mark of a removed one (so that probing goes on past it).
  struct Slot {
    std::uint64_t hash = 0;
    Macro* macro = nullptr;
  };
  static bool holds_macro(const Slot& slot) { return slot.macro != nullptr && slot.macro != removed(); }

  // Empties the table and hands over its slots with the macros in them:
  // the caller gives each macro back (MacroDeleter) and may use the slot
  // memory for anything, e.g. to sort the macros without new pages.
  PageArray<Slot> take_slots();

 private:
  static Macro* removed();
  // The macros lie wherever they were made: a walk over every slot asks for
  // the macro a few slots ahead, so that it waits for memory far less.
  void prefetch_ahead(std::size_t slot) const {
    constexpr std::size_t kAhead = 16;
    if (slot + kAhead < slots_.size()) __builtin_prefetch(slots_[slot + kAhead].macro);
  }
  // find() for a name that may be written with universal character names.
  const Macro* find_spelled(std::string_view name) const;
  // The slot of `name`, or the free slot where it would go.
  std::size_t probe(std::string_view name, std::uint64_t hash) const;
  // Moves the macros to `slot_count` slots (a power of two).
  void rehash(std::size_t slot_count);
  // Whether `used` slots exceed the share of the slots that probing allows.
  static bool over_load(std::size_t used, std::size_t slot_count) { return used * 4 > slot_count * 3; }
  static constexpr std::size_t kFewestSlots = 64;

  // How many names fall on each key of a cheap hash (length, first and last
  // byte): most names of C code are no macro, and a zero count says so
  // before any hash table is looked at.
  static std::size_t filter_key(std::string_view name) {
    return (name.size() * 31 + std::size_t{static_cast<unsigned char>(name.front())} * 7 +
            static_cast<unsigned char>(name.back())) &
           (kFilterSize - 1);
  }
  static constexpr std::size_t kFilterSize = 4096;

  PageArray<Slot> slots_;
  DefinitionFiles definition_files_;
  std::array<std::uint32_t, kFilterSize> filter_{};
  std::size_t size_ = 0;
  std::size_t used_ = 0;  // slots holding a macro or a removal mark
};

}  // namespace sornik::cmode
