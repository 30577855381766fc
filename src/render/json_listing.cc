// Writing the uses of a marked text as JSON objects, nested uses by a walk
// with an explicit stack.
#include "render/json_listing.h"

#include <algorithm>

#include "render/json_text.h"
#include "render/marker.h"

namespace sornik {

namespace {

void append_member(std::string& out, std::string_view name) {
  out.push_back('"');
  out.append(name);
  out.append("\":");
}

void append_number_member(std::string& out, std::string_view name, std::uint32_t number) {
  append_member(out, name);
  out.append(std::to_string(number));
  out.push_back(',');
}

}  // namespace

std::string_view JsonListing::write(std::string_view marked, const UseFacts* facts, std::size_t depth) {
  facts_ = facts;
  out_.clear();
  groups_.read(marked);
  final_texts_.read(marked, groups_);
  std::size_t use = 0;
  for (std::size_t top = 0; top < groups_.size(); top = groups_[top].after, ++use) {
    if (!facts_of(top).annotated) continue;
    out_.push_back('{');
    append_member(out_, "file");
    append_json_string(out_, facts != nullptr ? facts->source_file : std::string_view());
    out_.push_back(',');
    const UsePlace place = facts != nullptr && use < facts->use_count() ? facts->use(use) : UsePlace{};
    append_number_member(out_, "line", place.line);
    append_number_member(out_, "column", place.column);
    append_number_member(out_, "end_line", place.end_line);
    append_number_member(out_, "end_column", place.end_column);
    write_members(marked, top);
    write_nested(top, marked, depth);
    out_.push_back('\n');
  }
  facts_ = nullptr;
  return out_;
}

GroupFacts JsonListing::facts_of(std::size_t group) const {
  if (facts_ == nullptr || group >= facts_->group_count()) return {};
  return facts_->group(group);
}

void JsonListing::write_members(std::string_view marked, std::size_t group) {
  const GroupFacts facts = facts_of(group);
  const MarkedGroup& marks = groups_[group];
  // The name text, each group nested in it by its final text.
  text_.clear();
  std::size_t pos = marks.name_begin();
  for (std::size_t inner = group + 1; inner < marks.first_expansion_group; inner = groups_[inner].after) {
    append_unescaped(text_, marked.substr(pos, groups_[inner].start - pos));
    text_.append(final_texts_.of(inner));
    pos = std::min(groups_[inner].end + 1, marks.separator);
  }
  append_unescaped(text_, marked.substr(pos, marks.separator - pos));
  append_member(out_, "text");
  append_json_string(out_, text_);
  out_.push_back(',');
  append_member(out_, "macro");
  append_json_string(out_, facts.macro);
  out_.push_back(',');
  append_member(out_, "defined_at");
  out_.push_back('{');
  append_member(out_, "file");
  append_json_string(out_, facts.defined_at.file);
  out_.push_back(',');
  append_member(out_, "line");
  out_.append(std::to_string(facts.defined_at.line));
  out_.append("},");
  append_member(out_, "expansion");
  append_json_string(out_, final_texts_.of(group));
  out_.push_back(',');
  IntegerValue value;
  if (facts_ != nullptr && facts_->values != nullptr && facts_->values->read(final_texts_.of(group), value)) {
    append_member(out_, "value");
    append_decimal(out_, value);
    out_.push_back(',');
  }
  append_member(out_, "uses");
  out_.push_back('[');
}

void JsonListing::write_nested(std::size_t top, std::string_view marked, std::size_t depth) {
  open_.clear();
  open_.push_back({top, top + 1, 1, true});
  while (!open_.empty()) {
    Open& open = open_.back();
    if (open.next_group >= groups_[open.group].after) {
      if (open.object) out_.append("]}");
      open_.pop_back();
      continue;
    }
    const std::size_t inner = open.next_group;
    open.next_group = groups_[inner].after;
    const std::size_t level = open.level;
    if (!facts_of(inner).annotated) {
      open_.push_back({inner, inner + 1, level, false});
      continue;
    }
    if (depth != 0 && level + 1 > depth) continue;
    if (out_.back() != '[') out_.push_back(',');
    out_.push_back('{');
    write_members(marked, inner);
    open_.push_back({inner, inner + 1, level + 1, true});
  }
}

}  // namespace sornik
