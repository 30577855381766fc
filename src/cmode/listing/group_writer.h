// The writer of the marked text of one outermost use.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/expand/expansion_token.h"
#include "cmode/expand/rescanner.h"
#include "cmode/expand/spelling.h"

namespace sornik::cmode {

// Writes the token stream of one outermost use as marked text (see
// expand/marker.h): every open mark starts a group with its name text, every
// close mark ends it, tokens are spelled with a blank where one stood or where
// two tokens would otherwise read back as others.
class GroupWriter {
 public:
  // Appends the groups of `stream` to `out`. Group 0, the outermost, takes
  // `outer_name` (the source bytes of the use); `before` and `after` are the
  // source tokens touching the use, or null. The number of each group
  // opened is appended to `opened` (unless null), in the order of the
  // groups' start marks.
  void write(std::span<const ExpToken> stream, const std::vector<GroupName>& names,
             std::string_view outer_name, const ExpToken* before, const ExpToken* after, std::string& out,
             std::vector<std::uint32_t>* opened = nullptr);

 private:
  void flush_ends(std::string& out);

  Respeller respeller_;
  std::vector<std::uint32_t> open_;
  std::size_t pending_ends_ = 0;
};

}  // namespace sornik::cmode
