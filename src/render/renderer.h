// Renders marked texts as the output shows them: in the default form
// "$n`$x'", through a -f format, as JSON Lines or as an HTML page; to a depth, and with the
// uses out of focus left as they read.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "render/final_texts.h"
#include "render/marked_groups.h"
#include "render/use_facts.h"

namespace sornik {

class HtmlPage;
class JsonListing;

// Turns marked texts (see marker.h) into output text, each in one pass
// whatever the depth of its groups. It keeps its buffers between texts, so
// each run or thread of work holds its own.
class Renderer {
 public:
  // The default form: a separator mark becomes a backquote, an end mark an
  // apostrophe and a start mark nothing (also where they are stray).
  Renderer();

  // Each group becomes `format` with "$n" standing for its rendered name
  // text, "$x" for its rendered expansion text; with the facts of the C
  // mode, "$m" for the macro's name, "$d" for where its definition stands
  // ("file:line", or the file alone when it has no line), "$v" and "$h" for
  // the value of its final text in decimal and in hexadecimal (empty when
  // the text is no integer constant expression). "$" with any other byte
  // after it, or none, stands for nothing; every other byte of the format
  // stands for itself. Stray marks are written as they are.
  explicit Renderer(std::string_view format);

  // Each marked text becomes a JSON object for each outermost use in focus,
  // one a line (json_listing.h); text outside uses is not written.
  static Renderer json();

  // The run becomes one HTML page (html_page.h): the source's bytes, each
  // outermost use in focus marked, and the data to open its expansion. The
  // run writes the page's frame through page().
  static Renderer html();

  Renderer(Renderer&&) noexcept;
  Renderer& operator=(Renderer&&) noexcept;
  ~Renderer();

  // Groups nested deeper than `depth` levels of groups in focus render as
  // their final text; 0 (the start) renders every level.
  void set_depth(std::size_t depth) { depth_ = depth; }

  // Colours the groups for a terminal: the name texts, the expansion texts
  // (a colour for each level, so that nested levels stand apart) and the
  // format's own bytes and facts each in their own colour.
  void set_coloured(bool coloured) { coloured_ = coloured; }

  // Whether groups render in the default form, which lets a mode write a
  // use as "name`expansion'" without marking it.
  bool default_form() const { return default_form_ && depth_ == 0 && !coloured_; }

  // Whether text outside uses is written as it stands.
  bool copies_plain_text() const { return json_ == nullptr && page_ == nullptr; }

  // What source bytes with no use in them become: themselves, nothing in
  // JSON Lines, HTML text in the page. Valid until the next call.
  std::string_view plain(std::string_view bytes);

  // The page of an HTML run; null for the other forms.
  HtmlPage* page() const { return page_.get(); }

  // What the facts handed to render() must hold.
  FactNeeds needs() const;

  // Whether a group's name text shows: in the default form, through "$n",
  // or in JSON.
  bool shows_names() const;
  // Whether a group renders as its expansion text alone (the format "$x"),
  // so that a text renders the same with its groups left out.
  bool expansion_only() const {
    return json_ == nullptr && !default_form_ && parts_.size() == 1 &&
           parts_[0].kind == FormatPart::Kind::kExpansion;
  }

  // The rendering of `marked`, every escape pair as the byte it stands for
  // (a lone escape mark at the end stands for nothing). `facts` (or null)
  // tell each group's macro, which uses are in focus, and where the
  // outermost uses stand. Valid until the next call. Stops the run, as the
  // line buffers do, when the text or its rendering would outgrow an int.
  std::string_view render(std::string_view marked, const UseFacts* facts = nullptr);

 private:
  // One piece of the format: its literal bytes (format_bytes_[begin, end)),
  // or what stands for one fact of the group.
  struct FormatPart {
    enum class Kind { kLiteral, kName, kExpansion, kMacro, kDefinition, kValue, kHex } kind;
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

  // How a group shows: through the format; as its final text (below the
  // depth); as its expansion text with its own groups shown (nested and out
  // of focus); as its name text (outermost and out of focus).
  enum class Look : unsigned char { kFormatted, kFinal, kExpanded, kAsWritten };

  // A group being written: how it shows, how many formatted groups hold it
  // (itself included), the next part to write, and the part of the enclosing
  // text that follows the group.
  struct OpenGroup {
    std::size_t group;
    Look look;
    std::size_t level;
    std::size_t next_part;
    Span after;
  };

  void render_formatted(std::string_view marked);
  // Renders `span` up to the first group's start mark, or to its end;
  // true when a group starts there.
  bool render_until_group(std::string_view marked, Span& span);
  void open_group(std::size_t index, const Span& span);
  // The span that the innermost open group goes on with: its name or
  // expansion text, an empty span after writing a literal or fact, or the
  // text after the group once it is written.
  Span next_span();
  void write_fact(FormatPart::Kind kind, std::size_t group);
  // The colour of the bytes written next: that of `kind` (a part of a group
  // at `level`), or that of the text the innermost group stands in. Written
  // out by apply_colour() before bytes that take it, once they change it.
  void paint(FormatPart::Kind kind, std::size_t level);
  void paint_surroundings();
  void apply_colour();
  void check_size(std::size_t size) const;

  bool default_form_ = true;
  std::size_t depth_ = 0;
  bool coloured_ = false;
  std::string_view painted_;  // the colour last written in this text
  std::string_view wanted_;   // the colour of the bytes written next
  std::string format_bytes_;
  std::vector<FormatPart> parts_;
  bool wants_values_ = false;
  MarkedGroups groups_;
  FinalTexts final_texts_;
  const UseFacts* facts_ = nullptr;
  // The groups being written, innermost last.
  std::vector<OpenGroup> open_;
  std::string rendered_;
  std::unique_ptr<JsonListing> json_;
  std::unique_ptr<HtmlPage> page_;
};

}  // namespace sornik
