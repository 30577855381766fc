#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace sornik {

// Cuts the next comma-separated word of `text` from `pos` (blanks trimmed,
// at most 1024 bytes); returns the position of the following word. Commas
// inside parentheses or literals do not separate. The word is a slice of `text`.
std::size_t get_csvword(std::string_view text, std::size_t pos, std::string_view& word);

// The body with each parameter replaced by its actual argument (whole words
// when `flag` is nonzero); nullopt when the counts differ, the template limit
// is exceeded or the engine refused the template. Valid until the next call.
std::optional<std::string_view> convert_str(int flag, std::string_view params, std::string_view args,
                                            std::string_view body);

// convert_str through a template of the replacement engine, the way it goes
// for every call that substitute_words does not take; tests and fuzzers hold
// the two ways to the same results.
std::optional<std::string_view> convert_str_by_template(int flag, std::string_view params,
                                                        std::string_view args, std::string_view body);

}  // namespace sornik
