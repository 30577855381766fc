// The JSON Lines form of a listing: one object for each outermost use.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "render/final_texts.h"
#include "render/marked_groups.h"
#include "render/use_facts.h"

namespace sornik {

// Writes each outermost use in focus of a marked text as one JSON object on
// a line of its own:
//   {"file", "line", "column", "end_line", "end_column",  (UsePlace)
//    "text", "macro", "defined_at": {"file", "line"}, "expansion",
//    "value" (when the final text has one), "uses": [...]}
// "text" is the use as written, "expansion" its final text, "uses" the uses
// nested in it, in the same shape less the five members of place. A nested
// use out of focus is no element, but the uses nested in it are; a use
// nested deeper than the depth is none.
class JsonListing {
 public:
  // The objects for `marked`, whose facts are `facts` (null: every group in
  // focus, of no known macro); `depth` 0 for every level. Valid until the
  // next call.
  std::string_view write(std::string_view marked, const UseFacts* facts, std::size_t depth);

 private:
  // A group whose nested uses are being written; `object` when the group
  // is an element of its own (in focus).
  struct Open {
    std::size_t group;
    std::size_t next_group;
    std::size_t level;
    bool object;
  };

  GroupFacts facts_of(std::size_t group) const;
  // Writes the members that every use has, up to the opening of "uses".
  void write_members(std::string_view marked, std::size_t group);
  // Writes the elements of "uses" of `top` and closes its object.
  void write_nested(std::size_t top, std::string_view marked, std::size_t depth);

  MarkedGroups groups_;
  FinalTexts final_texts_;
  const UseFacts* facts_ = nullptr;
  std::vector<Open> open_;
  std::string text_;
  std::string out_;
};

}  // namespace sornik
