// A check that the C mode's --json output is JSON Lines of the documented
// members, for the unit tests and the fuzz targets.
#pragma once

#include <string>
#include <string_view>

namespace sornik::testing {

// Empty when every line of `out` (each ended by a newline) is one JSON
// object of a use: "file", "line", "column", "end_line", "end_column",
// "text", "macro", "defined_at" {"file", "line"}, "expansion", "uses" and
// an optional integer "value", with "uses" an array of objects of the same
// members less the five of place, at any depth; else what is wrong and where.
std::string json_lines_problem(std::string_view out);

}  // namespace sornik::testing
