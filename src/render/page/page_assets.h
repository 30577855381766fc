// The HTML page's styles and script, made from page.css and page.js at build time.
#pragma once

#include <string_view>

namespace sornik {

extern const std::string_view kPageStyle;
extern const std::string_view kPageScript;

}  // namespace sornik
