// Rendering marked texts: the default form in one copy, a -f format by a
// walk over the group table with an explicit stack of open groups.
#include "render/renderer.h"

#include <algorithm>
#include <limits>

#include "common/diagnostics.h"
#include "common/fatal.h"
#include "render/json_listing.h"
#include "render/marker.h"
#include "render/page/html_page.h"

namespace sornik {

namespace {

// Terminal colours (SGR sequences): names bold blue, the format's bytes and
// facts grey, and expansions green, cyan, magenta, yellow by level, again
// from green below the fourth.
constexpr std::string_view kPlainColour = "\x1b[0m";
constexpr std::string_view kNameColour = "\x1b[0;1;34m";
constexpr std::string_view kMarkColour = "\x1b[0;90m";
constexpr std::string_view kExpansionColours[] = {"\x1b[0;32m", "\x1b[0;36m", "\x1b[0;35m", "\x1b[0;33m"};

}  // namespace

Renderer::Renderer()
    : format_bytes_("`'"),
      parts_{{FormatPart::Kind::kName},
             {FormatPart::Kind::kLiteral, 0, 1},
             {FormatPart::Kind::kExpansion},
             {FormatPart::Kind::kLiteral, 1, 2}} {}

Renderer::Renderer(std::string_view format) : default_form_(false) {
  std::size_t pos = 0;
  while (pos < format.size()) {
    if (format[pos] == '$') {
      const char key = pos + 1 < format.size() ? format[pos + 1] : '\0';
      static constexpr struct {
        char key;
        FormatPart::Kind kind;
      } kSequences[] = {{'n', FormatPart::Kind::kName},  {'x', FormatPart::Kind::kExpansion},
                        {'m', FormatPart::Kind::kMacro}, {'d', FormatPart::Kind::kDefinition},
                        {'v', FormatPart::Kind::kValue}, {'h', FormatPart::Kind::kHex}};
      for (const auto& sequence : kSequences) {
        if (sequence.key == key) parts_.push_back({sequence.kind});
      }
      wants_values_ = wants_values_ || key == 'v' || key == 'h';
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
  // JSON writes the name texts of nested uses.
  return json_ != nullptr || std::any_of(parts_.begin(), parts_.end(), [](const FormatPart& part) {
           return part.kind == FormatPart::Kind::kName;
         });
}

Renderer Renderer::json() {
  Renderer renderer;
  renderer.json_ = std::make_unique<JsonListing>();
  return renderer;
}

Renderer Renderer::html() {
  Renderer renderer;
  renderer.default_form_ = false;
  renderer.page_ = std::make_unique<HtmlPage>();
  return renderer;
}

Renderer::Renderer(Renderer&&) noexcept = default;
Renderer& Renderer::operator=(Renderer&&) noexcept = default;
Renderer::~Renderer() = default;

FactNeeds Renderer::needs() const {
  FactNeeds needs;
  if (json_ != nullptr) {
    needs.groups = true;
    needs.places = true;
  }
  if (page_ != nullptr) {
    needs.groups = true;
    needs.definitions = true;
  }
  for (const FormatPart& part : parts_) {
    if (part.kind != FormatPart::Kind::kLiteral && part.kind != FormatPart::Kind::kName &&
        part.kind != FormatPart::Kind::kExpansion)
      needs.groups = true;
  }
  return needs;
}

std::string_view Renderer::render(std::string_view marked, const UseFacts* facts) {
  check_size(marked.size() + 1);
  if (json_ != nullptr) return json_->write(marked, facts, depth_);
  if (page_ != nullptr) return page_->text(marked, facts, depth_);
  rendered_.clear();
  if (default_form() && facts == nullptr) {
    append_default_rendering(rendered_, marked);
  } else {
    facts_ = facts;
    render_formatted(marked);
    facts_ = nullptr;
  }
  return rendered_;
}

std::string_view Renderer::plain(std::string_view bytes) {
  if (page_ != nullptr) return page_->plain(bytes);
  return json_ != nullptr ? std::string_view() : bytes;
}

void Renderer::render_formatted(std::string_view marked) {
  groups_.read(marked);
  painted_ = kPlainColour;
  wanted_ = kPlainColour;
  if (wants_values_ && facts_ != nullptr && facts_->values != nullptr) final_texts_.read(marked, groups_);
  open_.clear();
  Span span{0, marked.size(), 0};
  for (;;) {
    if (render_until_group(marked, span)) {
      open_group(span.next_group, span);
    } else if (open_.empty()) {
      apply_colour();
      return;
    }
    span = next_span();
  }
}

bool Renderer::render_until_group(std::string_view marked, Span& span) {
  while (span.from < span.to) {
    // Every span ends at a mark or at the text's end, so the search stops there.
    const std::size_t mark = std::min(find_mark(marked, span.from), span.to);
    if (mark > span.from) apply_colour();
    append_unescaped(rendered_, marked.substr(span.from, mark - span.from));
    check_size(rendered_.size());
    if (mark == span.to) break;
    if (marked[mark] == kStartMark) {
      span.from = mark;
      return true;
    }
    apply_colour();
    if (default_form_) {
      rendered_.push_back(marked[mark] == kSeparatorMark ? '`' : '\'');
    } else {
      rendered_.push_back(marked[mark]);
    }
    span.from = mark + 1;
  }
  span.from = span.to;
  return false;
}

void Renderer::open_group(std::size_t index, const Span& span) {
  const MarkedGroup& group = groups_[index];
  const Span after{std::min(group.end + 1, span.to), span.to, group.after};
  const OpenGroup* outer = open_.empty() ? nullptr : &open_.back();
  const std::size_t outer_level = outer != nullptr ? outer->level : 0;
  Look look = Look::kFormatted;
  std::size_t level = outer_level + 1;
  // A use the focus leaves out is shown as written at the top, expanded inside
  // another; below an outer use shown finally, or past the depth, only the
  // final text is shown.
  const bool left_out = facts_ != nullptr && index < facts_->group_count() && !facts_->group(index).annotated;
  if ((outer != nullptr && outer->look == Look::kFinal) || (!left_out && depth_ != 0 && level > depth_)) {
    look = Look::kFinal;
  } else if (left_out) {
    look = outer != nullptr ? Look::kExpanded : Look::kAsWritten;
    level = outer_level;
  }
  open_.push_back({index, look, level, 0, after});
}

Renderer::Span Renderer::next_span() {
  OpenGroup& open = open_.back();
  const MarkedGroup& group = groups_[open.group];
  const Span name{group.name_begin(), group.separator, open.group + 1};
  const Span expansion{group.expansion_begin(), group.end, group.first_expansion_group};
  if (open.look != Look::kFormatted) {
    // One part: the name text or the expansion text.
    if (open.next_part++ == 0) return open.look == Look::kAsWritten ? name : expansion;
  } else if (open.next_part < parts_.size()) {
    const FormatPart& part = parts_[open.next_part++];
    paint(part.kind, open.level);
    switch (part.kind) {
      case FormatPart::Kind::kName: return name;
      case FormatPart::Kind::kExpansion: return expansion;
      case FormatPart::Kind::kLiteral:
        apply_colour();
        rendered_.append(format_bytes_, part.begin, part.end - part.begin);
        break;
      default:
        apply_colour();
        write_fact(part.kind, open.group);
        break;
    }
    check_size(rendered_.size());
    return {0, 0, 0};
  }
  const Span after = open.after;
  const bool formatted = open.look == Look::kFormatted;
  open_.pop_back();
  if (formatted) paint_surroundings();
  return after;
}

void Renderer::paint(FormatPart::Kind kind, std::size_t level) {
  wanted_ = kind == FormatPart::Kind::kName ? kNameColour
            : kind == FormatPart::Kind::kExpansion
                ? kExpansionColours[(level - 1) % std::size(kExpansionColours)]
                : kMarkColour;
}

void Renderer::apply_colour() {
  if (!coloured_ || wanted_.data() == painted_.data()) return;
  rendered_.append(wanted_);
  painted_ = wanted_;
}

void Renderer::paint_surroundings() {
  // The innermost group written through the format is in the part it
  // went on to last; groups shown as plain text take the colour around them.
  for (auto open = open_.rbegin(); open != open_.rend(); ++open) {
    if (open->look == Look::kFormatted) return paint(parts_[open->next_part - 1].kind, open->level);
  }
  wanted_ = kPlainColour;
}

void Renderer::write_fact(FormatPart::Kind kind, std::size_t group) {
  if (facts_ == nullptr || group >= facts_->group_count()) return;
  const GroupFacts facts = facts_->group(group);
  switch (kind) {
    case FormatPart::Kind::kMacro: rendered_.append(facts.macro); break;
    case FormatPart::Kind::kDefinition: append_definition_place(rendered_, facts.defined_at); break;
    default: {
      IntegerValue value;
      if (facts_->values == nullptr || !facts_->values->read(final_texts_.of(group), value)) break;
      if (kind == FormatPart::Kind::kValue) {
        append_decimal(rendered_, value);
      } else {
        append_hexadecimal(rendered_, value);
      }
      break;
    }
  }
}

void Renderer::check_size(std::size_t size) const {
  constexpr std::size_t kLargest = std::numeric_limits<int>::max() - 1024;
  if (size <= kLargest) return;
  errmsg("cannot get the memory of %d K bytes\n", std::numeric_limits<int>::max() / 1000);
  fatal_stop();
}

}  // namespace sornik
