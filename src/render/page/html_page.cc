// Writing the HTML page: its frame, each source's coloured text with its
// uses marked, and the JSON data the script reads.
#include "render/page/html_page.h"

#include <algorithm>

#include "render/marker.h"
#include "render/page/html_text.h"
#include "render/page/page_assets.h"

namespace sornik {

namespace {

// No request may leave the page: only its own inline styles and script run.
constexpr std::string_view kHead =
    "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
    "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
    "<meta name=\"viewport\" content=\"width=device-width\">\n<title>";

constexpr std::string_view kHelp =
    "<p class=\"help\">Click a marked macro use to open its expansion, and a use in it to open that one "
    "in turn. Keys: <kbd>n</kbd> next use, <kbd>p</kbd> previous use, <kbd>Enter</kbd> open, "
    "<kbd>Esc</kbd> close.</p>\n";

// A source is cut into blocks of this many lines, each a <pre> of its own
// that the browser lays out only when it comes into view.
constexpr std::size_t kBlockLines = 200;

// A line feed right after <pre> is not part of its text: this one stands
// for nothing, so that a block's own first line feed stays.
constexpr std::string_view kBlockStart = "<pre class=\"src\">\n";

}  // namespace

std::string_view HtmlPage::begin(const std::vector<std::string_view>& sources) {
  out_.assign(kHead);
  out_.append("sornik");
  for (std::size_t index = 0; index < sources.size(); ++index) {
    out_.append(index == 0 ? ": " : ", ");
    append_html_text(out_, sources[index]);
  }
  out_.append("</title>\n<style>");
  out_.append(kPageStyle);
  out_.append("</style>\n</head><body>\n<header>");
  out_.append(kHelp);
  if (sources.size() > 1) {
    out_.append("<nav><ul>\n");
    for (std::size_t index = 0; index < sources.size(); ++index) {
      out_.append("<li><a href=\"#f");
      out_.append(std::to_string(index));
      out_.append("\">");
      append_html_text(out_, sources[index]);
      out_.append("</a></li>\n");
    }
    out_.append("</ul></nav>\n");
  }
  out_.append("</header>\n<main>\n");
  return out_;
}

std::string_view HtmlPage::begin_source(std::string_view name) {
  out_.assign("<section class=\"file\" id=\"f");
  out_.append(std::to_string(source_count_++));
  out_.append("\"><h2>");
  append_html_text(out_, name);
  out_.append("</h2>\n");
  out_.append(kBlockStart);
  block_lines_ = 0;
  colouring_.reset();
  nodes_.clear();
  return out_;
}

std::string_view HtmlPage::plain(std::string_view bytes) {
  out_.clear();
  append_source(bytes);
  return out_;
}

void HtmlPage::append_source(std::string_view bytes) {
  std::size_t from = 0;
  for (std::size_t pos = bytes.find('\n'); pos != std::string_view::npos; pos = bytes.find('\n', pos + 1)) {
    if (++block_lines_ < kBlockLines) continue;
    colouring_.append(out_, bytes.substr(from, pos + 1 - from));
    out_.append("</pre>\n");
    out_.append(kBlockStart);
    from = pos + 1;
    block_lines_ = 0;
  }
  colouring_.append(out_, bytes.substr(from));
}

std::string_view HtmlPage::text(std::string_view marked, const UseFacts* facts, std::size_t depth) {
  out_.clear();
  groups_.read(marked);
  final_texts_.read(marked, groups_);
  const ReadUses uses{marked, groups_, final_texts_, facts};
  std::size_t pos = 0;
  for (std::size_t top = 0; top < groups_.size(); top = groups_[top].after) {
    const MarkedGroup& group = groups_[top];
    name_text_.clear();
    append_unescaped(name_text_, marked.substr(pos, group.start - pos));
    append_source(name_text_);
    name_text_.clear();
    uses.append_name_text(name_text_, top);
    // A use stays whole within its block.
    block_lines_ += static_cast<std::size_t>(std::count(name_text_.begin(), name_text_.end(), '\n'));
    const bool in_focus = uses.facts_of(top).annotated;
    if (in_focus) out_.append("<span class=\"u\">");
    colouring_.append(out_, name_text_);
    if (in_focus) {
      out_.append("</span>");
      if (!nodes_.empty()) nodes_.push_back(',');
      trees_.write(uses, top, depth, definitions_, nodes_);
    }
    pos = std::min(group.end + 1, marked.size());
  }
  name_text_.clear();
  append_unescaped(name_text_, marked.substr(pos));
  append_source(name_text_);
  return out_;
}

std::string_view HtmlPage::end_source() {
  out_.assign("</pre>\n<script type=\"application/json\" class=\"uses\">[");
  append_script_json(nodes_);
  out_.append("]</script>\n</section>\n");
  return out_;
}

std::string_view HtmlPage::end() {
  out_.assign(
      "</main>\n<div id=\"panel\" hidden></div>\n<script type=\"application/json\" id=\"definitions\">");
  std::string json;
  definitions_.append_json(json);
  append_script_json(json);
  out_.append("</script>\n<script>");
  out_.append(kPageScript);
  out_.append("</script>\n</body></html>\n");
  return out_;
}

void HtmlPage::append_script_json(std::string_view json) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::size_t from = 0;
  for (std::size_t pos = 0; pos < json.size(); ++pos) {
    const auto byte = static_cast<unsigned char>(json[pos]);
    unsigned code = byte;
    if (byte == 0xC2 && pos + 1 < json.size()) {
      // A C1 control is U+0080 to U+009F, C2 80 to C2 9F in UTF-8.
      code = static_cast<unsigned char>(json[pos + 1]);
      if (code < 0x80 || code >= 0xA0) continue;
    } else if (byte != '<' && byte != 0x7F) {
      continue;
    }
    out_.append(json, from, pos - from);
    out_.append("\\u00");
    out_.push_back(kHex[code >> 4]);
    out_.push_back(kHex[code & 0xF]);
    pos += byte == 0xC2 ? 1 : 0;
    from = pos + 1;
  }
  out_.append(json, from);
}

}  // namespace sornik
