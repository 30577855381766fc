// The facts of the uses on one line of a source, gathered for a listing
// that shows more than name and expansion texts.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "cmode/expand/rescanner.h"
#include "cmode/macro/macro_table.h"
#include "render/use_facts.h"

namespace sornik::cmode {

// Fills a UseFacts for the marked text of one window of a source: the facts
// of every group in the order the group writer opens them, and the place of
// every outermost use.
class FactGatherer {
 public:
  // Gathers what `needs` asks for, and the focus of each group when the
  // table's definition files leave some out; `file` is the source's name.
  FactGatherer(const MacroTable& table, const FactNeeds& needs, std::string_view file, ValueReader* values);

  // Whether there is anything to gather.
  bool active() const { return active_; }

  // Where the group writer lists the groups it opens (null when inactive).
  std::vector<std::uint32_t>* opened() { return active_ ? &opened_ : nullptr; }

  // A window begins on physical line `first_line`.
  void start_window(std::uint32_t first_line);

  // Takes the facts of the use just written: the groups listed in opened()
  // (by number in `groups`), and its place, the window's bytes [begin, end).
  void add_use(const std::vector<GroupName>& groups, std::string_view window, std::uint32_t begin,
               std::uint32_t end);

  // The facts for the window's marked text, or null when inactive.
  const UseFacts* facts() const { return active_ ? &facts_ : nullptr; }

 private:
  // Moves the line count on to `pos` of the window; the 1-based column there.
  std::uint32_t column_at(std::string_view window, std::uint32_t pos);

  const MacroTable& table_;
  FactNeeds needs_;
  bool active_;
  UseFacts facts_;
  std::vector<std::uint32_t> opened_;
  std::string definition_;
  // How far the window's bytes are counted, and the line and line start there.
  std::uint32_t counted_ = 0;
  std::uint32_t line_ = 0;
  std::uint32_t line_start_ = 0;
};

}  // namespace sornik::cmode
