// Bytes written as JSON string literals.
#pragma once

#include <string>
#include <string_view>

namespace sornik {

// Appends `bytes` as a JSON string literal: quotes and backslashes escaped,
// control bytes as \n, \t, \r, \b, \f or \u00XX, well-formed UTF-8 as it
// stands, and every other byte (one that begins no well-formed UTF-8
// sequence: a Latin-1 text's letters, say) as \u00XX, the code point of
// that byte read as Latin-1.
void append_json_string(std::string& out, std::string_view bytes);

}  // namespace sornik
