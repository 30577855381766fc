#include "cmode/logical_lines.h"

#include <gtest/gtest.h>
#include <string>

namespace sornik::cmode {
namespace {

// The logical lines of `text` separated by "|", each with a "#" in front
// when it is a directive and a "+" after it when the text ended inside it.
std::string split(std::string_view text) {
  std::string out;
  for (std::size_t pos = 0; pos < text.size();) {
    const LineEnd end = logical_line_end(text, pos);
    const std::string_view line = text.substr(pos, end.end - pos);
    if (!out.empty()) out += '|';
    if (is_directive_line(line)) out += '#';
    out.append(line);
    if (!end.complete) out += '+';
    pos = end.end;
  }
  return out;
}

struct Case {
  std::string_view text;
  std::string_view lines;
};

TEST(LogicalLines, JoinAtSplicesAndBlockComments) {
  const Case cases[] = {
      {"a\nb\n", "a\n|b\n"},
      {"a\\\nb\nc\n", "a\\\nb\n|c\n"},
      {"a\\\r\nb\r\nc", "a\\\r\nb\r\n|c+"},
      {"a /* x\ny */ b\nc\n", "a /* x\ny */ b\n|c\n"},
      {"a // x\\\ny\nc\n", "a // x\\\ny\n|c\n"},
      {"\"/*\" x\n'/*' y\n", "\"/*\" x\n|'/*' y\n"},
      {"don't /* open\nb\n", "don't /* open\n|b\n"},
      {"\"a\\\"b\nc\n", "\"a\\\"b\n|c\n"},
      {"\"a\\\\\nb\n", "\"a\\\\\nb\n"},
      {"\"a\\\\ \nb\n", "\"a\\\\ \n|b\n"},
      {"a /\\\n* c\n */ b\n", "a /\\\n* c\n */ b\n"},
      {"a /* c *\\\n/ b\nc\n", "a /* c *\\\n/ b\n|c\n"},
      {"a /* open", "a /* open+"},
      {"a\\", "a\\+"},
      {"a \"x\\", "a \"x\\+"},
  };
  for (const Case& c : cases) EXPECT_EQ(split(c.text), c.lines) << c.text;
}

TEST(LogicalLines, TellDirectives) {
  const Case cases[] = {
      {"#define A\n", "##define A\n"},
      {"  \t# if\n", "#  \t# if\n"},
      {"/* c */ # x\n", "#/* c */ # x\n"},
      {"/* a\n b */ #x\n", "#/* a\n b */ #x\n"},
      {"%:define A\n", "#%:define A\n"},
      {"\\\n#x\n", "#\\\n#x\n"},
      {"// #x\n", "// #x\n"},
      {"x #y\n", "x #y\n"},
      {"%x\n", "%x\n"},
      {"/* #x */\n", "/* #x */\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(split(c.text), c.lines) << c.text;
}

}  // namespace
}  // namespace sornik::cmode
