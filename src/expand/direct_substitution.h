#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace sornik {

// Substitutes the arguments of a call into the body in one pass, for the
// calls where that gives exactly what the template engine gives word by
// word: every parameter a plain identifier, every argument free of NUL
// bytes, lead bytes, backslashes, colons, dollar signs and of the
// parameters' names, and the texts within the engine's limits. nullopt when
// the call is not of that kind; the result is valid until the next call.
std::optional<std::string_view> substitute_words(std::string_view params, std::string_view args,
                                                 std::string_view body);

}  // namespace sornik
