// The replacement text of one match: the to-part with its captures and
// case changes inserted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textual/replace/pattern_match.h"

namespace sornik {

// Appends to `out` the replacement that `to_part` describes for the match
// `matched`: "$l" and "$u" insert the match in lower or upper case, "$$" the
// last match, "$A" "$a" "$d" "$s" "$x" "$g" "$c" a capture, and a backslash
// makes the byte after it literal. Any other "$" reports the to-part and ends
// the run. The last match and the captures are those of `matcher`. Returns
// the number of bytes appended.
std::size_t make_replacement(PatternMatcher& matcher, std::string_view matched, std::string& out,
                             std::string_view to_part);

// Whether the replacement that `to_part` describes may differ from match to
// match: it holds a "$" that no backslash makes literal.
bool inserts_match(std::string_view to_part);

}  // namespace sornik
