// What the rescanner keeps for one use of a function-like macro while it collects and expands it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cmode/expand/rescanner.h"

namespace sornik::cmode {

// Appends a consumed token to a group's name text.
inline void append_display(std::string& text, const ExpToken& token) {
  if (token.space_before && !text.empty()) text.push_back(' ');
  text.append(token.text);
}

// What one use of a function-like macro collects: its arguments, their
// expansions, and the groups its argument list reaches into.
struct Rescanner::CallScratch final : Arguments {
  const Macro* macro = nullptr;
  bool kept = false;  // `macro` is a copy made when the source moved on inside the argument list
  ExpToken name_token;
  std::string name;                 // the group's name text: the consumed tokens
  std::vector<ExpToken> tokens;     // every argument's tokens, one after another
  std::vector<std::size_t> starts;  // where each argument begins in `tokens`, then the end
  std::vector<std::vector<ExpToken>> expansions;
  std::vector<bool> needed;
  bool absent = false;
  std::uint32_t source_end = 0;  // the end of the last source token consumed
  // Groups opened before the argument list ends but not closed in it: they
  // open before the use's own group.
  std::vector<std::uint32_t> hoisted;
  std::vector<std::pair<std::uint32_t, std::size_t>> open_inside;
  // Groups whose expansion ended inside the argument list: they close after
  // the use's expansion, and their name texts take the tokens after that point.
  std::vector<std::pair<std::uint32_t, std::size_t>> deferred;

  void clear() {
    macro = nullptr;
    kept = false;
    name.clear();
    tokens.clear();
    starts.assign(1, 0);
    absent = false;
    source_end = 0;
    hoisted.clear();
    open_inside.clear();
    deferred.clear();
    for (std::vector<ExpToken>& expansion : expansions) expansion.clear();
  }
  std::span<const ExpToken> raw(std::size_t index) override {
    return std::span<const ExpToken>(tokens).subspan(starts[index], starts[index + 1] - starts[index]);
  }
  std::span<const ExpToken> expanded(std::size_t index) override { return expansions[index]; }
  bool variadic_absent() const override { return absent; }
};

}  // namespace sornik::cmode
