// The definitions that the uses of an HTML page refer to, each listed once.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

#include "render/use_facts.h"

namespace sornik {

// Numbers the definitions of a page's uses in the order they are first
// met; a definition is its macro and where it stands.
class PageDefinitions {
 public:
  // The number of the definition of `facts`, listed now if it is new.
  std::size_t number(const GroupFacts& facts);

  // Appends the list as a JSON array of [macro, file, line, definition].
  void append_json(std::string& out) const;

 private:
  std::unordered_map<std::string, std::size_t> numbers_;
  // The list, already written as JSON elements parted by commas.
  std::string listed_;
};

}  // namespace sornik
