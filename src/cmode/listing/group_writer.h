// The writer of the marked text of one outermost use, or of its default rendering.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/expand/expansion_token.h"
#include "cmode/expand/rescanner.h"
#include "cmode/expand/spelling.h"

namespace sornik::cmode {

// What a use's groups are written from: its token stream, the name texts of
// its groups (the outermost, which the stream opens with, takes
// `outer_name`, the source bytes of the use), and the source tokens touching the use (`before`, `after`),
// or null.
struct UseStream {
  std::span<const ExpToken> tokens;
  const std::vector<GroupName>& names;
  std::string_view outer_name;
  const ExpToken* before = nullptr;
  const ExpToken* after = nullptr;
};

// Writes the token stream of one outermost use: every open mark starts a
// group with its name text, every close mark ends it, tokens are spelled with
// a blank where one stood or where two tokens would otherwise read back as
// others.
class GroupWriter {
 public:
  // Appends the groups of `use` to `out` as marked text (see
  // render/marker.h). The number of each group opened is appended to
  // `opened` (unless null), in the order of the groups' start marks.
  void write_marked(const UseStream& use, std::string& out, std::vector<std::uint32_t>* opened = nullptr);

  // Writes the use in the default form ("name`expansion'", as the renderer
  // makes of its marked text) through `out`, which goes to the output
  // (out_write) whenever it has grown large, so that a use's rendering is
  // never held whole.
  void write_default(const UseStream& use, std::string& out);

  // The last token the last use wrote (its `before` when it wrote none), or
  // null.
  const ExpToken* last_written() const { return has_last_ ? &last_ : nullptr; }

 private:
  template <typename Sink>
  void write(const UseStream& use, Sink& sink);

  Respeller respeller_;
  std::vector<std::uint32_t> open_;
  ExpToken last_;
  std::string last_text_;
  bool has_last_ = false;
};

}  // namespace sornik::cmode
