// Writing a use's node by a walk over its nested groups with an explicit
// stack; text between nodes gathers into one string piece.
#include "render/page/use_tree.h"

#include <algorithm>

#include "render/json_text.h"
#include "render/marker.h"

namespace sornik {

void ReadUses::append_name_text(std::string& out, std::size_t group) const {
  const MarkedGroup& marks = groups[group];
  std::size_t pos = marks.name_begin();
  for (std::size_t inner = group + 1; inner < marks.first_expansion_group; inner = groups[inner].after) {
    append_unescaped(out, marked.substr(pos, groups[inner].start - pos));
    out.append(final_texts.of(inner));
    pos = std::min(groups[inner].end + 1, marks.separator);
  }
  append_unescaped(out, marked.substr(pos, marks.separator - pos));
}

void UseTreeWriter::write(const ReadUses& uses, std::size_t top, std::size_t depth,
                          PageDefinitions& definitions, std::string& out) {
  open_.clear();
  text_.clear();
  open_node(uses, top, 1, definitions, out);
  while (!open_.empty()) {
    Open& open = open_.back();
    const MarkedGroup& group = uses.groups[open.group];
    const bool nested = open.next_group < group.after;
    const std::size_t stop = nested ? uses.groups[open.next_group].start : group.end;
    append_unescaped(text_, uses.marked.substr(open.pos, stop - open.pos));
    if (!nested) {
      if (open.node) {
        flush_text(out);
        out.push_back(']');
      }
      open_.pop_back();
      continue;
    }
    const std::size_t inner = open.next_group;
    const MarkedGroup& inner_group = uses.groups[inner];
    open.next_group = inner_group.after;
    open.pos = std::min(inner_group.end + 1, group.end);
    const std::size_t level = open.level;
    if (!uses.facts_of(inner).annotated) {
      open_.push_back(
          {inner, inner_group.expansion_begin(), inner_group.first_expansion_group, level, false});
    } else if (depth != 0 && level + 1 > depth) {
      text_.append(uses.final_texts.of(inner));
    } else {
      flush_text(out);
      out.push_back(',');
      open_node(uses, inner, level + 1, definitions, out);
    }
  }
}

void UseTreeWriter::open_node(const ReadUses& uses, std::size_t group, std::size_t level,
                              PageDefinitions& definitions, std::string& out) {
  const GroupFacts facts = uses.facts_of(group);
  out.push_back('[');
  if (uses.facts != nullptr && !facts.macro.empty()) {
    out.append(std::to_string(definitions.number(facts)));
  } else {
    out.append("-1");
  }
  out.push_back(',');
  text_.clear();
  uses.append_name_text(text_, group);
  append_json_string(out, text_);
  text_.clear();
  std::string decimal;
  std::string hexadecimal;
  IntegerValue value;
  if (uses.facts != nullptr && uses.facts->values != nullptr &&
      uses.facts->values->read(uses.final_texts.of(group), value)) {
    append_decimal(decimal, value);
    append_hexadecimal(hexadecimal, value);
  }
  out.push_back(',');
  append_json_string(out, decimal);
  out.push_back(',');
  append_json_string(out, hexadecimal);
  const MarkedGroup& marks = uses.groups[group];
  open_.push_back({group, marks.expansion_begin(), marks.first_expansion_group, level, true});
}

void UseTreeWriter::flush_text(std::string& out) {
  if (text_.empty()) return;
  out.push_back(',');
  append_json_string(out, text_);
  text_.clear();
}

}  // namespace sornik
