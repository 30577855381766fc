// Listing a page's definitions once each, keyed by macro, file and line.
#include "render/page/page_definitions.h"

#include "render/json_text.h"

namespace sornik {

std::size_t PageDefinitions::number(const GroupFacts& facts) {
  std::string key(facts.macro);
  key.push_back('\0');
  key.append(facts.defined_at.file);
  key.push_back('\0');
  key.append(std::to_string(facts.defined_at.line));
  const auto [found, added] = numbers_.try_emplace(std::move(key), numbers_.size());
  if (!added) return found->second;
  if (!listed_.empty()) listed_.push_back(',');
  listed_.push_back('[');
  append_json_string(listed_, facts.macro);
  listed_.push_back(',');
  append_json_string(listed_, facts.defined_at.file);
  listed_.push_back(',');
  listed_.append(std::to_string(facts.defined_at.line));
  listed_.push_back(',');
  append_json_string(listed_, facts.definition);
  listed_.push_back(']');
  return found->second;
}

void PageDefinitions::append_json(std::string& out) const {
  out.push_back('[');
  out.append(listed_);
  out.push_back(']');
}

}  // namespace sornik
