// The expansion of one use as data for the HTML page's script: a tree of
// nodes that the script lays out a level at a time, on demand.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "render/final_texts.h"
#include "render/marked_groups.h"
#include "render/page/page_definitions.h"
#include "render/use_facts.h"

namespace sornik {

// A marked text read for its uses: its groups, their final texts and facts.
struct ReadUses {
  std::string_view marked;
  const MarkedGroups& groups;
  const FinalTexts& final_texts;
  const UseFacts* facts;  // null: every group in focus, of no known macro

  GroupFacts facts_of(std::size_t group) const {
    return facts != nullptr && group < facts->group_count() ? facts->group(group) : GroupFacts{};
  }
  // The group's name text, each group nested in it as its final text.
  void append_name_text(std::string& out, std::size_t group) const;
};

// Writes a use as one JSON array, its node:
//   [definition, name text, value, hexadecimal value, piece...]
// `definition` is the number of its definition in the page's list (-1 when
// unknown), the values are "" when its final text has none, and the pieces
// are its expansion text: strings and the nodes of the uses nested in it.
// A nested use out of focus is no node: its expansion stands in its place,
// the uses in it at the level of its own. A use deeper than `depth` levels
// (0 for no limit) is no node either: its final text stands in its place.
class UseTreeWriter {
 public:
  void write(const ReadUses& uses, std::size_t top, std::size_t depth, PageDefinitions& definitions,
             std::string& out);

 private:
  // A group whose expansion is being written: where it goes on, its next
  // nested group, its level, and whether it is a node of its own.
  struct Open {
    std::size_t group;
    std::size_t pos;
    std::size_t next_group;
    std::size_t level;
    bool node;
  };

  void open_node(const ReadUses& uses, std::size_t group, std::size_t level, PageDefinitions& definitions,
                 std::string& out);
  // Writes the text gathered since the last node as one string piece.
  void flush_text(std::string& out);

  std::vector<Open> open_;
  std::string text_;
};

}  // namespace sornik
