// Copying the final texts of all groups with an explicit stack, each
// expansion byte once.
#include "render/final_texts.h"

#include <algorithm>

#include "render/marker.h"

namespace sornik {

void FinalTexts::read(std::string_view marked, const MarkedGroups& groups) {
  text_.clear();
  spans_.assign(groups.size(), {});
  done_.assign(groups.size(), false);
  // A group nested in a name text lies in no final text around it: its own
  // is copied after the rest.
  for (std::size_t index = 0; index < groups.size(); ++index) {
    if (!done_[index]) copy_group(marked, groups, index);
  }
}

void FinalTexts::copy_group(std::string_view marked, const MarkedGroups& groups, std::size_t root) {
  open_.clear();
  open_.push_back({root, groups[root].expansion_begin(), groups[root].first_expansion_group});
  spans_[root].begin = text_.size();
  while (!open_.empty()) {
    Open& open = open_.back();
    const MarkedGroup& group = groups[open.group];
    const bool nested = open.next_group < group.after;
    const std::size_t stop = nested ? groups[open.next_group].start : group.end;
    append_unescaped(text_, marked.substr(open.pos, stop - open.pos));
    if (!nested) {
      spans_[open.group].end = text_.size();
      done_[open.group] = true;
      open_.pop_back();
      continue;
    }
    const std::size_t inner = open.next_group;
    const MarkedGroup& inner_group = groups[inner];
    open.next_group = inner_group.after;
    open.pos = std::min(inner_group.end + 1, group.end);
    spans_[inner].begin = text_.size();
    open_.push_back({inner, inner_group.expansion_begin(), inner_group.first_expansion_group});
  }
}

}  // namespace sornik
