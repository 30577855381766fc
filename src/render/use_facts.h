// What the C mode knows of the uses in one marked text beyond their name and
// expansion texts: each group's macro and definition, each outermost use's
// place in the source, and the reader of integer values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sornik {

// An integer value with the width and signedness of its C type.
struct IntegerValue {
  std::uint64_t bits = 0;  // the value's bits, none above `width`
  unsigned width = 64;     // of its type, 1 to 64
  bool is_unsigned = false;
};

// Reads the value of a text (a use's final expansion) that is an integer
// constant expression.
class ValueReader {
 public:
  virtual ~ValueReader() = default;
  // False when `text` is no integer constant expression.
  virtual bool read(std::string_view text, IntegerValue& value) = 0;
};

// Where a definition stands: the file as it was found and the line of its
// #define; line 0 for a definition of no file line ("<command line>",
// "<built-in>").
struct DefinitionPlace {
  std::string_view file{};
  std::uint32_t line = 0;
};

// The facts of one group.
struct GroupFacts {
  std::string_view macro{};  // the macro's name
  DefinitionPlace defined_at{};
  // The definition as "#define NAME(PARAMS) BODY"; empty unless the
  // listing asked for definitions.
  std::string_view definition{};
  bool system = false;    // defined in a system header
  bool annotated = true;  // in focus: shown as a group
};

// Where an outermost use stands in its source: 1-based physical lines and
// byte columns, from its first byte to just past its last.
struct UsePlace {
  std::uint32_t line = 0;
  std::uint32_t column = 0;
  std::uint32_t end_line = 0;
  std::uint32_t end_column = 0;
};

// The facts of the groups of one marked text, in the order their start
// marks come (MarkedGroups' order), and the places of its outermost uses in
// theirs. Macro names and definitions are copied; the file names of
// definition places must outlive the facts' readers.
class UseFacts {
 public:
  // Forgets the groups and uses of the last text.
  void clear();

  void add_group(const GroupFacts& facts);
  std::size_t group_count() const { return groups_.size(); }
  GroupFacts group(std::size_t index) const;

  void add_use(const UsePlace& place) { uses_.push_back(place); }
  std::size_t use_count() const { return uses_.size(); }
  const UsePlace& use(std::size_t index) const { return uses_[index]; }

  // The source's name as given.
  std::string_view source_file;
  // Reads values for "$v" and "$h"; null when there is none.
  ValueReader* values = nullptr;

 private:
  // A group's facts with its texts as places in texts_.
  struct StoredGroup {
    GroupFacts facts;
    std::size_t macro_at;
    std::size_t definition_at;
  };

  std::vector<StoredGroup> groups_;
  std::vector<UsePlace> uses_;
  std::string texts_;
};

// Appends "file:line", or the file alone for a place of line 0.
void append_definition_place(std::string& out, const DefinitionPlace& place);

// Appends the value in decimal: negative when its type is signed and its
// top bit is set.
void append_decimal(std::string& out, const IntegerValue& value);

// Appends the value's bits at the width of its type in hexadecimal, "0x"
// and upper-case digits without leading zeros (a negative int is 0xFFFFFFFF
// and up).
void append_hexadecimal(std::string& out, const IntegerValue& value);

// What a listing needs the C mode to gather for each marked text.
struct FactNeeds {
  bool groups = false;       // GroupFacts for every group
  bool definitions = false;  // with their definition texts
  bool places = false;       // UsePlace for every outermost use
};

}  // namespace sornik
