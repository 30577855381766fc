// A check that a page written by the HTML form is well-formed, for the unit
// tests and the fuzz targets.
#pragma once

#include <string>
#include <string_view>

namespace sornik::testing {

// Empty when `page` is well-formed HTML as the page writer means to write
// it, else what is wrong and where: the whole page well-formed UTF-8 with no
// control character but tab, line feed and carriage return; every element
// of a known name, every one but <meta> closed in order; text with no bare
// "<" or ">" and "&" only in &amp; &lt; &gt; &quot;; script and style
// elements free of "</" and "<!--" before their end tag, and the JSON data
// elements well-formed JSON of arrays, strings and integers.
std::string html_problem(std::string_view page);

}  // namespace sornik::testing
