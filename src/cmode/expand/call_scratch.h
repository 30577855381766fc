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
  std::string name;  // the group's name text: the consumed tokens
  // Every argument's tokens, one after another: a copy in `tokens`, or a run
  // of the level they were read from, read in place while that level lives
  // (a use nested n deep then holds no copy of what it nests).
  std::span<const ExpToken> view;
  std::vector<ExpToken> tokens;
  std::size_t gap = 0;              // the separator `view` holds between two arguments (in place: the comma)
  std::vector<std::size_t> starts;  // where each argument begins in `view`, then its end plus `gap`
  // While the arguments are read in place: their level and run of tokens so far.
  std::ptrdiff_t run_level = -1;
  std::size_t run_begin = 0;
  std::size_t run_end = 0;
  std::vector<std::vector<ExpToken>> expansions;
  std::vector<std::size_t> needed;  // see find_expanded_arguments
  bool absent = false;
  std::uint32_t source_end = 0;  // the end of the last source token consumed
  // The line of the last token the argument list read (its `)` when it is
  // complete), which the compiler's diagnostics about the use name.
  std::uint32_t end_line = 0;
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
    view = {};
    tokens.clear();
    gap = 0;
    starts.assign(1, 0);
    run_level = -1;
    absent = false;
    source_end = 0;
    end_line = 0;
    hoisted.clear();
    open_inside.clear();
    deferred.clear();
    for (std::vector<ExpToken>& expansion : expansions) expansion.clear();
  }
  std::span<const ExpToken> raw(std::size_t index) override {
    std::span<const ExpToken> argument = view.subspan(starts[index], starts[index + 1] - gap - starts[index]);
    // The compiler drops the paddings an argument begins with.
    while (!argument.empty() && argument.front().mark == Mark::padding) argument = argument.subspan(1);
    return argument;
  }
  std::span<const ExpToken> expanded(std::size_t index) override { return expansions[index]; }
  bool variadic_absent() const override { return absent; }
  bool in_place() const { return run_level >= 0; }
};

}  // namespace sornik::cmode
