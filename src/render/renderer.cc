// Rendering marked texts: the default form in one copy, a -f format by a
// walk over the group table with an explicit stack of open groups.
#include "render/renderer.h"

#include <algorithm>
#include <limits>

#include "common/diagnostics.h"
#include "common/fatal.h"
#include "render/marker.h"

namespace sornik {

Renderer::Renderer(std::string_view format) : default_form_(false) {
  std::size_t pos = 0;
  while (pos < format.size()) {
    if (format[pos] == '$') {
      const char key = pos + 1 < format.size() ? format[pos + 1] : '\0';
      if (key == 'n') parts_.push_back({FormatPart::Kind::kName});
      if (key == 'x') parts_.push_back({FormatPart::Kind::kExpansion});
      pos += 2;
      continue;
    }
    const std::size_t run_end = std::min(format.find('$', pos), format.size());
    const std::size_t begin = format_bytes_.size();
    format_bytes_.append(format, pos, run_end - pos);
    // Literals parted only by a "$" that stands for nothing are one.
    if (!parts_.empty() && parts_.back().kind == FormatPart::Kind::kLiteral) {
      parts_.back().end = format_bytes_.size();
    } else {
      parts_.push_back({FormatPart::Kind::kLiteral, begin, format_bytes_.size()});
    }
    pos = run_end;
  }
}

bool Renderer::shows_names() const {
  return default_form_ || std::any_of(parts_.begin(), parts_.end(), [](const FormatPart& part) {
           return part.kind == FormatPart::Kind::kName;
         });
}

std::string_view Renderer::render(std::string_view marked) {
  check_size(marked.size() + 1);
  rendered_.clear();
  if (default_form_) {
    append_default_rendering(rendered_, marked);
  } else {
    render_formatted(marked);
  }
  return rendered_;
}

void Renderer::render_formatted(std::string_view marked) {
  groups_.read(marked);
  open_.clear();
  Span span{0, marked.size(), 0};
  for (;;) {
    if (render_until_group(marked, span)) {
      const MarkedGroup& group = groups_[span.next_group];
      open_.push_back({span.next_group, 0, {std::min(group.end + 1, span.to), span.to, group.after}});
    } else if (open_.empty()) {
      return;
    }
    span = next_format_span();
  }
}

bool Renderer::render_until_group(std::string_view marked, Span& span) {
  while (span.from < span.to) {
    // Every span ends at a mark or at the text's end, so the search stops there.
    const std::size_t mark = std::min(find_mark(marked, span.from), span.to);
    append_unescaped(rendered_, marked.substr(span.from, mark - span.from));
    check_size(rendered_.size());
    if (mark == span.to) break;
    if (marked[mark] == kStartMark) {
      span.from = mark;
      return true;
    }
    rendered_.push_back(marked[mark]);
    span.from = mark + 1;
  }
  span.from = span.to;
  return false;
}

Renderer::Span Renderer::next_format_span() {
  OpenGroup& open = open_.back();
  if (open.next_part == parts_.size()) {
    const Span after = open.after;
    open_.pop_back();
    return after;
  }
  const FormatPart& part = parts_[open.next_part++];
  const MarkedGroup& group = groups_[open.group];
  switch (part.kind) {
    case FormatPart::Kind::kName: return {group.name_begin(), group.separator, open.group + 1};
    case FormatPart::Kind::kExpansion:
      return {group.expansion_begin(), group.end, group.first_expansion_group};
    case FormatPart::Kind::kLiteral: break;
  }
  rendered_.append(format_bytes_, part.begin, part.end - part.begin);
  check_size(rendered_.size());
  return {0, 0, 0};
}

void Renderer::check_size(std::size_t size) const {
  constexpr std::size_t kLargest = std::numeric_limits<int>::max() - 1024;
  if (size <= kLargest) return;
  errmsg("cannot get the memory of %d K bytes\n", std::numeric_limits<int>::max() / 1000);
  fatal_stop();
}

}  // namespace sornik
