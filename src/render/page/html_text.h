// Bytes written as the text of an HTML page that declares itself UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace sornik {

// Appends `bytes` as HTML text (also fit for a quoted attribute value when
// it holds no control character): "&", "<", ">" and '"' as references,
// well-formed UTF-8 as it stands, and a byte that begins no well-formed
// UTF-8 sequence as the character of that byte read as Latin-1, as the
// JSON strings of the program read it. A control character (U+0000 to
// U+001F but tab, line feed and carriage return; U+007F to U+009F, from a
// byte or from a well-formed sequence) shows as "\xNN" in a span of class
// "x": an HTML page may hold none of them as text or as a reference.
void append_html_text(std::string& out, std::string_view bytes);

}  // namespace sornik
