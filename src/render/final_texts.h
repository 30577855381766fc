// The final text of every group of a marked text: its expansion as it
// finally reads, every nested group replaced by its own final text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "render/marked_groups.h"

namespace sornik {

// The final texts of a marked text's groups, made in one pass: the final
// text of a group nested in an expansion lies within its enclosing group's,
// so each group's is a piece of one buffer. Escape pairs stand for their
// bytes; stray marks are kept as they are (as the format "$x" writes them).
class FinalTexts {
 public:
  // Reads the final texts of the groups of `marked` (read into `groups`).
  void read(std::string_view marked, const MarkedGroups& groups);

  // The final text of the group at `index` of the table; valid until the next read.
  std::string_view of(std::size_t index) const {
    return std::string_view(text_).substr(spans_[index].begin, spans_[index].end - spans_[index].begin);
  }

 private:
  struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
  };
  // A group whose expansion is being copied: where the copy goes on, and the
  // next group nested in it.
  struct Open {
    std::size_t group;
    std::size_t pos;
    std::size_t next_group;
  };

  // Copies the final text of group `root` and of the groups nested in its
  // expansion.
  void copy_group(std::string_view marked, const MarkedGroups& groups, std::size_t root);

  std::string text_;
  std::vector<Span> spans_;
  std::vector<bool> done_;
  std::vector<Open> open_;
};

}  // namespace sornik
