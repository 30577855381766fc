// Reading the group structure of a marked text in one pass over its marks.
#include "render/marked_groups.h"

#include "render/marker.h"

namespace sornik {

void MarkedGroups::read(std::string_view text) {
  groups_.clear();
  open_.clear();
  for (std::size_t pos = find_mark(text, 0); pos < text.size(); pos = find_mark(text, pos + 1)) {
    if (text[pos] == kStartMark) {
      open_.push_back({groups_.size(), 0, false});
      groups_.push_back({.start = pos});
      continue;
    }
    if (open_.empty()) continue;
    OpenGroup& group = open_.back();
    if (text[pos] == kSeparatorMark) {
      if (!group.in_expansion && group.balance == 0) {
        groups_[group.index].separator = pos;
        groups_[group.index].first_expansion_group = groups_.size();
        group.in_expansion = true;
      }
      ++group.balance;
    } else if (--group.balance == 0) {
      // Only the expansion text's balance comes down to 0: the name text's never rises above it.
      close_innermost(pos);
    }
  }
  while (!open_.empty()) close_innermost(text.size());
}

void MarkedGroups::close_innermost(std::size_t end) {
  const OpenGroup& open = open_.back();
  MarkedGroup& group = groups_[open.index];
  group.end = end;
  if (!open.in_expansion) {
    group.separator = end;
    group.first_expansion_group = groups_.size();
  }
  group.after = groups_.size();
  open_.pop_back();
}

}  // namespace sornik
