// Gathering use facts from the groups a use made and the window it lies in.
#include "cmode/listing/fact_gatherer.h"

#include "cmode/macro/macro.h"

namespace sornik::cmode {

FactGatherer::FactGatherer(const MacroTable& table, const FactNeeds& needs, std::string_view file,
                           ValueReader* values)
    : table_(table),
      needs_(needs),
      active_(needs.groups || needs.places || table.definition_files().focus_narrowed()) {
  facts_.source_file = file;
  facts_.values = values;
}

void FactGatherer::start_window(std::uint32_t first_line) {
  facts_.clear();
  opened_.clear();
  counted_ = 0;
  line_ = first_line;
  line_start_ = 0;
}

std::uint32_t FactGatherer::column_at(std::string_view window, std::uint32_t pos) {
  for (; counted_ < pos; ++counted_) {
    if (window[counted_] != '\n') continue;
    ++line_;
    line_start_ = counted_ + 1;
  }
  return pos - line_start_ + 1;
}

void FactGatherer::add_use(const std::vector<GroupName>& groups, std::string_view window, std::uint32_t begin,
                           std::uint32_t end) {
  const DefinitionFiles& files = table_.definition_files();
  for (const std::uint32_t number : opened_) {
    const Macro* macro = groups[number].macro;
    GroupFacts facts;
    if (macro != nullptr) {
      const DefinitionFile& file = files[macro->definition_file()];
      facts.macro = macro->name();
      facts.defined_at = {file.name, file.has_lines ? macro->definition_line() : 0};
      facts.system = file.system;
      facts.annotated = file.in_focus;
      if (needs_.definitions) {
        definition_.clear();
        append_define_line(definition_, *macro);
        facts.definition = definition_;
      }
    }
    facts_.add_group(facts);
  }
  opened_.clear();
  if (!needs_.places) return;
  UsePlace place;
  place.column = column_at(window, begin);
  place.line = line_;
  place.end_column = column_at(window, end);
  place.end_line = line_;
  facts_.add_use(place);
}

}  // namespace sornik::cmode
