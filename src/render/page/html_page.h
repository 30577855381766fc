// The HTML page of a run: every source with its uses marked, and the data
// and script that open each use's expansion on demand.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "render/final_texts.h"
#include "render/marked_groups.h"
#include "render/page/page_definitions.h"
#include "render/page/source_colouring.h"
#include "render/page/use_tree.h"
#include "render/use_facts.h"

namespace sornik {

// Writes one self-contained page in parts, in this order: begin(), then for
// each source begin_source(), its pieces through plain() and text(), and
// end_source(); then end(). Each part returns the page's next bytes, valid
// until the next call. The page asks for nothing outside itself: its styles
// and script are in it, and its content security policy forbids any
// request. Each source is a run of <pre> blocks of its bytes, lightly
// coloured, each outermost use in focus in a span of class "u"; after them,
// the nodes of its uses (use_tree.h) as one JSON array, in the order of the
// spans. The
// definitions of all uses follow the last source, as one JSON array.
class HtmlPage {
 public:
  // The head, the styles, and an index of the sources when there are several.
  std::string_view begin(const std::vector<std::string_view>& sources);
  std::string_view begin_source(std::string_view name);
  // Source bytes with no use in them.
  std::string_view plain(std::string_view bytes);
  // Source bytes as a marked text with its uses; `depth` as the renderer's.
  std::string_view text(std::string_view marked, const UseFacts* facts, std::size_t depth);
  std::string_view end_source();
  std::string_view end();

 private:
  // Appends `json` to the page within a script element, with escapes for
  // what JSON allows only in strings: every "<", so that no "</script" or
  // "<!--" ends or changes the element, and DEL and the C1 controls, which a
  // JSON string may hold as they are but an HTML page may not.
  void append_script_json(std::string_view json);
  // Appends source bytes outside uses, a new block begun after every
  // block's last line.
  void append_source(std::string_view bytes);

  std::size_t source_count_ = 0;
  // The line feeds in the current block so far.
  std::size_t block_lines_ = 0;
  SourceColouring colouring_;
  MarkedGroups groups_;
  FinalTexts final_texts_;
  UseTreeWriter trees_;
  PageDefinitions definitions_;
  // The nodes of the current source's uses, parted by commas.
  std::string nodes_;
  std::string name_text_;
  std::string out_;
};

}  // namespace sornik
