// The renderer over fuzzer-chosen marked texts, stray and unclosed marks
// included. Input sections: the format, then the marked text. Every text
// must render the same on each call, with the format "$n$x" as its bytes
// without the marks of its groups, and, when every group is whole and no
// mark is stray, in the default form as with the format "$n`$x'".
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "render/marked_groups.h"
#include "render/marker.h"
#include "render/renderer.h"

namespace {

// The positions of the marks that make the groups of `text`, in order, and
// whether every group has all three.
struct GroupMarks {
  std::vector<std::size_t> positions;
  bool complete;
};

GroupMarks group_marks(std::string_view text) {
  sornik::MarkedGroups groups;
  groups.read(text);
  std::vector<std::size_t> marks;
  for (std::size_t index = 0; index < groups.size(); ++index) {
    const sornik::MarkedGroup& group = groups[index];
    marks.push_back(group.start);
    if (group.separator < group.end) marks.push_back(group.separator);
    if (group.end < text.size()) marks.push_back(group.end);
  }
  std::sort(marks.begin(), marks.end());
  const bool complete = marks.size() == 3 * groups.size();
  return {std::move(marks), complete};
}

// `text` without the marks at `marks`, every escape pair as its byte.
std::string without_marks(std::string_view text, const std::vector<std::size_t>& marks) {
  std::string kept;
  std::size_t from = 0;
  for (const std::size_t mark : marks) {
    kept.append(text, from, mark - from);
    from = mark + 1;
  }
  kept.append(text, from);
  std::string bytes;
  sornik::append_unescaped(bytes, kept);
  return bytes;
}

std::size_t mark_count(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = sornik::find_mark(text, 0); pos < text.size();
       pos = sornik::find_mark(text, pos + 1))
    ++count;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sections = sornik::fuzzing::split_sections(data, size, 2);
  const std::string_view format = sections[0];
  const std::string_view text = sections[1];
  // A second "$n" or "$x" doubles the text at every nesting level.
  if (format.find("$n") != format.rfind("$n") || format.find("$x") != format.rfind("$x")) return -1;

  sornik::Renderer renderer(format);
  const std::string first(renderer.render(text));
  renderer.render(format);
  sornik::fuzzing::require_equal("the same text again", first, renderer.render(text));

  const GroupMarks marks = group_marks(text);
  sornik::Renderer concatenated("$n$x");
  sornik::fuzzing::require_equal("\"$n$x\"", without_marks(text, marks.positions), concatenated.render(text));

  // Strays and open groups the two forms write differently.
  if (marks.complete && mark_count(text) == marks.positions.size()) {
    sornik::Renderer spelled_out("$n`$x'");
    sornik::Renderer default_form;
    sornik::fuzzing::require_equal("the default form", spelled_out.render(text), default_form.render(text));
  }
  return 0;
}
