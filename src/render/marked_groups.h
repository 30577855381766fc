// The groups of a marked text (see marker.h) read into a table in one pass,
// so that every output form can walk them in the order it needs.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace sornik {

// One group of a marked text: the positions of its marks, and where the
// groups nested in its name and expansion texts sit in the table. Groups are
// listed in the order their start marks come; the groups nested in a group
// follow it, those of its name text first.
struct MarkedGroup {
  std::size_t start = 0;
  // The separator mark; `end` when the group has none (all of it is name).
  std::size_t separator = 0;
  // The end mark; the text's size when the text ends first.
  std::size_t end = 0;
  // Index of the first group nested in the expansion text.
  std::size_t first_expansion_group = 0;
  // Index of the first group after this one and the groups nested in it.
  std::size_t after = 0;

  std::size_t name_begin() const { return start + 1; }
  std::size_t expansion_begin() const { return separator < end ? separator + 1 : end; }
};

// Reads where the groups of a marked text begin, divide and end. Each open
// group counts the marks that reach it: in its name text, the first
// separator at balance 0 begins the expansion text, other separators raise
// the balance and end marks lower it; in the expansion text separators raise
// it, end marks lower it, and the end mark that brings it to 0 ends the
// group. A start mark opens a group nested in the innermost open one, and
// the marks up to that group's end are its own. A group still open when the
// text ends ends there, inner ones first. Every other separator or end mark
// (outside groups, or counted into a balance) is stray: it is no part of the
// structure and stands for itself.
class MarkedGroups {
 public:
  // Reads the groups of `text`, replacing those read before.
  void read(std::string_view text);

  const MarkedGroup& operator[](std::size_t index) const { return groups_[index]; }
  std::size_t size() const { return groups_.size(); }

 private:
  struct OpenGroup {
    std::size_t index;
    int balance;
    bool in_expansion;
  };

  void close_innermost(std::size_t end);

  std::vector<MarkedGroup> groups_;
  // The groups open at the current position, innermost last.
  std::vector<OpenGroup> open_;
};

}  // namespace sornik
