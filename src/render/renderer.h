// Renders marked texts as the output shows them: in the default form
// "$n`$x'" or through a -f format.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "render/marked_groups.h"

namespace sornik {

// Turns marked texts (see marker.h) into output text, each in one pass
// whatever the depth of its groups. It keeps its buffers between texts, so
// each run or thread of work holds its own.
class Renderer {
 public:
  // The default form: a separator mark becomes a backquote, an end mark an
  // apostrophe and a start mark nothing (also where they are stray).
  Renderer() = default;

  // Each group becomes `format` with "$n" standing for its rendered name
  // text, "$x" for its rendered expansion text, and "$" with any other byte
  // after it, or none, for nothing; every other byte of the format stands for
  // itself. Stray marks are written as they are.
  explicit Renderer(std::string_view format);

  // Whether groups render in the default form, which lets a mode write a
  // use as "name`expansion'" without marking it.
  bool default_form() const { return default_form_; }

  // Whether a group's name text shows: in the default form, or through "$n".
  bool shows_names() const;
  // Whether a group renders as its expansion text alone (the format "$x"),
  // so that a text renders the same with its groups left out.
  bool expansion_only() const {
    return !default_form_ && parts_.size() == 1 && parts_[0].kind == FormatPart::Kind::kExpansion;
  }

  // The rendering of `marked`, every escape pair as the byte it stands for
  // (a lone escape mark at the end stands for nothing). Valid until the next
  // call. Stops the run, as the line buffers do, when the text or its
  // rendering would outgrow an int.
  std::string_view render(std::string_view marked);

 private:
  // One piece of the format: its literal bytes (format_bytes_[begin, end)),
  // or the name or expansion text of the group.
  struct FormatPart {
    enum class Kind { kLiteral, kName, kExpansion } kind;
    std::size_t begin = 0;
    std::size_t end = 0;
  };

  // A part of the marked text still to be rendered, and the index of the
  // first group that starts in it.
  struct Span {
    std::size_t from;
    std::size_t to;
    std::size_t next_group;
  };

  // A group whose format is being written: the next part to write, and the
  // part of the enclosing text that follows the group.
  struct OpenGroup {
    std::size_t group;
    std::size_t next_part;
    Span after;
  };

  void render_formatted(std::string_view marked);
  // Renders `span` up to the first group's start mark, or to its end;
  // true when a group starts there.
  bool render_until_group(std::string_view marked, Span& span);
  // The span that the innermost open group's format goes on with: its name
  // or expansion text, an empty span after writing a literal part, or the
  // text after the group once its format is written.
  Span next_format_span();
  void check_size(std::size_t size) const;

  bool default_form_ = true;
  std::string format_bytes_;
  std::vector<FormatPart> parts_;
  MarkedGroups groups_;
  // The groups whose format is being written, innermost last.
  std::vector<OpenGroup> open_;
  std::string rendered_;
};

}  // namespace sornik
