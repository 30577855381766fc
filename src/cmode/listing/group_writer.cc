// Spelling the token stream of one outermost use as marked text.
#include "cmode/listing/group_writer.h"

#include <algorithm>

#include "render/marker.h"

namespace sornik::cmode {

void GroupWriter::flush_ends(std::string& out) {
  out.append(pending_ends_, kEndMark);
  pending_ends_ = 0;
}

void GroupWriter::write(std::span<const ExpToken> stream, const std::vector<GroupName>& names,
                        std::string_view outer_name, const ExpToken* before, const ExpToken* after,
                        std::string& out, std::vector<std::uint32_t>* opened) {
  open_.clear();
  pending_ends_ = 0;
  const ExpToken* previous = before;
  bool group_start = false;
  // Where the start marks in front of the next token begin: a blank before
  // that token goes in front of them, outside the groups it opens. The
  // outermost group stands in the source, which has its blanks already.
  std::size_t opens_at = std::string::npos;
  for (const ExpToken& token : stream) {
    if (token.mark == Mark::open) {
      flush_ends(out);
      if (!group_start) opens_at = token.group == 0 ? std::string::npos : out.size();
      out.push_back(kStartMark);
      if (opened != nullptr) opened->push_back(token.group);
      append_escaped(out, token.group == 0 ? outer_name : std::string_view(names[token.group].text));
      out.push_back(kSeparatorMark);
      open_.push_back(token.group);
      group_start = true;
      continue;
    }
    if (token.mark == Mark::close) {
      // A close mark whose group is no longer open (its opener closed it) is dropped.
      const auto open = std::find(open_.rbegin(), open_.rend(), token.group);
      if (open == open_.rend()) continue;
      const auto closed = static_cast<std::size_t>(open - open_.rbegin()) + 1;
      open_.resize(open_.size() - closed);
      pending_ends_ += closed;
      continue;
    }
    const bool blank_outside = group_start && token.space_before && opens_at != std::string::npos;
    bool blank = token.space_before && !group_start;
    if (!blank && !blank_outside && previous != nullptr && respeller_.would_merge(*previous, token))
      blank = true;
    flush_ends(out);
    if (blank) out.push_back(' ');
    if (blank_outside) out.insert(opens_at, 1, ' ');
    append_escaped(out, token.text);
    previous = &token;
    group_start = false;
  }
  pending_ends_ += open_.size();
  open_.clear();
  if (after != nullptr && previous != nullptr && respeller_.would_merge(*previous, *after))
    out.push_back(' ');
  flush_ends(out);
}

}  // namespace sornik::cmode
