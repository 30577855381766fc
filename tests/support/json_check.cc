// The --json check, reading each line with nlohmann-json and walking the
// nested uses with an explicit stack.
#include "json_check.h"

#include <nlohmann/json.hpp>
#include <vector>

namespace sornik::testing {

namespace {

using Json = nlohmann::json;

// Empty when `use` holds exactly the members of a use (with those of place
// when `outermost`), each of its type.
std::string use_problem(const Json& use, bool outermost) {
  if (!use.is_object()) return "a use that is no object";
  std::size_t expected = use.contains("value") ? 6 : 5;
  if (outermost) {
    expected += 5;
    if (!use.contains("file") || !use["file"].is_string()) return "no string \"file\"";
    for (const char* name : {"line", "column", "end_line", "end_column"}) {
      if (!use.contains(name) || !use[name].is_number_unsigned()) return std::string("no number \"") + name + "\"";
    }
  }
  for (const char* name : {"text", "macro", "expansion"}) {
    if (!use.contains(name) || !use[name].is_string()) return std::string("no string \"") + name + "\"";
  }
  if (use.contains("value") && !use["value"].is_number_integer()) return "a \"value\" that is no integer";
  if (!use.contains("uses") || !use["uses"].is_array()) return "no array \"uses\"";
  if (!use.contains("defined_at")) return "no \"defined_at\"";
  const Json& defined_at = use["defined_at"];
  if (!defined_at.is_object() || defined_at.size() != 2 || !defined_at.contains("file") ||
      !defined_at["file"].is_string() || !defined_at.contains("line") || !defined_at["line"].is_number_unsigned())
    return "a \"defined_at\" that is no {\"file\", \"line\"}";
  if (use.size() != expected) return "members besides those of a use";
  return {};
}

}  // namespace

std::string json_lines_problem(std::string_view out) {
  if (!out.empty() && out.back() != '\n') return "the last line has no newline";
  std::size_t line_number = 0;
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t end = out.find('\n', pos);
    const std::string_view line = out.substr(pos, end - pos);
    pos = end + 1;
    ++line_number;
    const std::string where = " on line " + std::to_string(line_number);
    const Json object = Json::parse(line, nullptr, false);
    if (object.is_discarded()) return "no JSON" + where;
    std::vector<std::pair<const Json*, bool>> pending = {{&object, true}};
    while (!pending.empty()) {
      const auto [use, outermost] = pending.back();
      pending.pop_back();
      const std::string problem = use_problem(*use, outermost);
      if (!problem.empty()) return problem + where;
      for (const Json& nested : (*use)["uses"]) pending.emplace_back(&nested, false);
    }
  }
  return {};
}

}  // namespace sornik::testing
