// Checking a page of the HTML form: its bytes, its elements and its JSON.
#include "html_check.h"

#include <algorithm>
#include <array>
#include <vector>

#include "render/utf8_sequence.h"

namespace sornik::testing {

namespace {

constexpr std::array<std::string_view, 21> kElements = {
    "a",    "body", "div",  "h2",  "head", "header", "html", "kbd",   "li",    "main",  "meta",
    "nav",  "p",    "pre",  "script", "section", "span", "style", "title", "ul", "code"};

std::string at(std::string_view what, std::size_t pos) { return std::string(what) + " at byte " + std::to_string(pos); }

std::string bytes_problem(std::string_view page) {
  for (std::size_t pos = 0; pos < page.size();) {
    const auto byte = static_cast<unsigned char>(page[pos]);
    if (byte >= 0x80) {
      const std::size_t length = utf8_sequence_length(page, pos);
      if (length == 0) return at("no UTF-8", pos);
      if (byte == 0xC2 && static_cast<unsigned char>(page[pos + 1]) < 0xA0) return at("a C1 control", pos);
      pos += length;
      continue;
    }
    if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == 0x7F)
      return at("a control byte", pos);
    ++pos;
  }
  return {};
}

// The problem of JSON text made of arrays, strings and integers.
std::string json_problem(std::string_view json, std::size_t offset) {
  std::size_t depth = 0;
  bool want_value = true;  // else a comma or a closing bracket
  bool first_in_array = false;
  std::size_t pos = 0;
  while (pos < json.size()) {
    const char c = json[pos];
    if (!want_value) {
      if (c == ',' && depth > 0) {
        want_value = true;
      } else if (c == ']' && depth > 0) {
        --depth;
      } else {
        return at("JSON: a comma or ] expected", offset + pos);
      }
      ++pos;
      if (depth == 0 && !want_value) break;
      continue;
    }
    if (c == '[') {
      ++depth;
      first_in_array = true;
      ++pos;
      continue;
    }
    if (c == ']' && first_in_array) {
      --depth;
      want_value = false;
      first_in_array = false;
      ++pos;
      if (depth == 0) break;
      continue;
    }
    first_in_array = false;
    if (c == '"') {
      for (++pos; pos < json.size() && json[pos] != '"'; ++pos) {
        if (static_cast<unsigned char>(json[pos]) < 0x20) return at("JSON: a raw control byte", offset + pos);
        if (json[pos] != '\\') continue;
        ++pos;
        if (pos < json.size() && json[pos] == 'u') {
          if (pos + 4 >= json.size()) return at("JSON: a short \\u escape", offset + pos);
          pos += 4;
        } else if (pos >= json.size() || std::string_view("\"\\/bfnrt").find(json[pos]) == std::string_view::npos) {
          return at("JSON: a bad escape", offset + pos);
        }
      }
      if (pos == json.size()) return at("JSON: an open string", offset + pos);
      ++pos;
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      ++pos;
      while (pos < json.size() && json[pos] >= '0' && json[pos] <= '9') ++pos;
    } else {
      return at("JSON: a value expected", offset + pos);
    }
    want_value = false;
    if (depth == 0) break;
  }
  if (depth != 0 || want_value || pos != json.size()) return at("JSON: not one whole value", offset + pos);
  return {};
}

}  // namespace

std::string html_problem(std::string_view page) {
  if (std::string problem = bytes_problem(page); !problem.empty()) return problem;
  constexpr std::string_view kDoctype = "<!DOCTYPE html>";
  if (!page.starts_with(kDoctype)) return "no doctype";
  std::vector<std::string_view> open;
  std::size_t pos = kDoctype.size();
  while (pos < page.size()) {
    const char c = page[pos];
    if (c == '>') return at("a bare >", pos);
    if (c == '&') {
      static constexpr std::array<std::string_view, 4> kReferences = {"&amp;", "&lt;", "&gt;", "&quot;"};
      const auto known = std::find_if(kReferences.begin(), kReferences.end(),
                                      [&](std::string_view reference) { return page.substr(pos).starts_with(reference); });
      if (known == kReferences.end()) return at("an unknown reference", pos);
      pos += known->size();
      continue;
    }
    if (c != '<') {
      ++pos;
      continue;
    }
    const bool closing = page.substr(pos).starts_with("</");
    const std::size_t name_begin = pos + (closing ? 2 : 1);
    std::size_t name_end = name_begin;
    while (name_end < page.size() && ((page[name_end] >= 'a' && page[name_end] <= 'z') ||
                                      (page[name_end] >= '0' && page[name_end] <= '9')))
      ++name_end;
    const std::string_view name = page.substr(name_begin, name_end - name_begin);
    if (std::find(kElements.begin(), kElements.end(), name) == kElements.end()) return at("an unknown tag", pos);
    // Attribute values are quoted and hold no "<" or ">".
    bool quoted = false;
    std::size_t tag_end = name_end;
    for (; tag_end < page.size() && (quoted || page[tag_end] != '>'); ++tag_end) {
      if (page[tag_end] == '"') quoted = !quoted;
      if (page[tag_end] == '<') return at("a < in a tag", tag_end);
    }
    if (tag_end == page.size()) return at("an open tag", pos);
    pos = tag_end + 1;
    if (closing) {
      if (open.empty() || open.back() != name) return at("a closing tag out of order", name_begin);
      open.pop_back();
      continue;
    }
    if (name == "meta") continue;
    if (name != "script" && name != "style") {
      open.push_back(name);
      continue;
    }
    // Raw text up to its end tag.
    const std::string end_tag = "</" + std::string(name) + ">";
    const std::size_t end = page.find(end_tag, pos);
    if (end == std::string_view::npos) return at("an unclosed raw text element", pos);
    const std::string_view raw = page.substr(pos, end - pos);
    if (raw.find("</") != std::string_view::npos || raw.find("<!--") != std::string_view::npos)
      return at("</ or <!-- in a raw text element", pos);
    if (page.substr(name_begin, tag_end - name_begin).find("application/json") != std::string_view::npos) {
      if (std::string problem = json_problem(raw, pos); !problem.empty()) return problem;
    }
    pos = end + end_tag.size();
  }
  if (!open.empty()) return "an element left open: " + std::string(open.back());
  return {};
}

}  // namespace sornik::testing
