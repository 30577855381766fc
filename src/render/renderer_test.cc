#include "render/renderer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>

#include "marked_text.h"
#include "render/marker.h"

namespace sornik {
namespace {

using testing::marked;

// The line as line expansion leaves it for a use of A whose expansion uses B.
const std::string kLine = marked("x = {3}A{1}1 + {3}B{1}2{2}{2};\n");

std::string rendered(const std::string& text, std::optional<std::string_view> format = std::nullopt) {
  Renderer renderer = format ? Renderer(*format) : Renderer();
  return std::string(renderer.render(text));
}

// The rendering by nesting levels: each pass writes the outermost groups
// through the format (its bytes escaped) and leaves their name and expansion
// texts to the next pass. The renderer must give the same on every text
// whose nested groups each end within the text holding them.
std::string peeled(std::string_view format, std::string text) {
  for (;;) {
    std::string next;
    bool rendered_one = false;
    std::size_t from = 0;
    for (std::size_t pos = find_mark(text, 0); pos < text.size(); pos = find_mark(text, pos + 1)) {
      if (text[pos] != kStartMark) continue;
      next.append(text, from, pos - from);
      const std::size_t start = pos;
      std::size_t separator = text.size();
      int depth = 0;
      for (pos = find_mark(text, start + 1); pos < text.size(); pos = find_mark(text, pos + 1)) {
        if (text[pos] == kSeparatorMark) {
          if (depth == 0) separator = pos;
          ++depth;
        } else if (text[pos] == kEndMark && --depth == 0) {
          break;
        }
      }
      const std::size_t name_end = std::min(separator, pos);
      const std::size_t expansion_start = std::min(separator + 1, pos);
      for (std::size_t at = 0; at < format.size(); at += 2) {
        const std::size_t run_end = std::min(format.find('$', at), format.size());
        append_escaped(next, format.substr(at, run_end - at));
        at = run_end;
        if (at + 1 >= format.size()) continue;
        if (format[at + 1] == 'n') next.append(text, start + 1, name_end - start - 1);
        if (format[at + 1] == 'x') next.append(text, expansion_start, pos - expansion_start);
      }
      rendered_one = true;
      from = std::min(pos + 1, text.size());
    }
    next.append(text, std::min(from, text.size()));
    if (!rendered_one) {
      std::string out;
      append_unescaped(out, next);
      return out;
    }
    text = std::move(next);
  }
}

TEST(Renderer, RenderingTable) {
  const struct {
    std::optional<std::string_view> format;
    const char* expected;
  } cases[] = {
      {std::nullopt, "x = A`1 + B`2'';\n"},
      {"[$n=$x]", "x = [A=1 + [B=2]];\n"},
      {"$x", "x = 1 + 2;\n"},
      {"$n", "x = A;\n"},
      {"$x$x", "x = 1 + 221 + 22;\n"},
      {"$x<$n>", "x = 1 + 2<B><A>;\n"},
      {"-", "x = -;\n"},
      {"", "x = ;\n"},
      {"$N", "x = ;\n"},
      {"$$", "x = ;\n"},
      {"a$", "x = a;\n"},
      {"a$Nb$n", "x = abA;\n"},
      {"$n`$x'", "x = A`1 + B`2'';\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rendered(kLine, c.format), c.expected) << c.format.value_or("default");
    EXPECT_EQ(Renderer(c.format.value_or("")).default_form(), false);
  }
  EXPECT_TRUE(Renderer().default_form());
}

TEST(Renderer, EscapedBytesAreNeverMarks) {
  // Bytes 0x01 to 0x04 from the source, from a value and from the format
  // reach the output as they are.
  const std::string line = marked("{4}{1}{3}A{4}{3}{1}v{4}{2}{2}{4}{4}\n");
  EXPECT_EQ(rendered(line),
            "\x01"
            "A\x03`v\x02'\x04\n");
  EXPECT_EQ(rendered(line, "<$n\x03$x\x01>"), "\x01<A\x03\x03v\x02\x01>\x04\n");
  // A lone escape mark at the end stands for nothing.
  EXPECT_EQ(rendered(marked("{3}A{1}v{2}z{4}"), "[$x]"), "[v]z");
}

TEST(Renderer, StrayMarksStandForThemselves) {
  EXPECT_EQ(rendered(marked("{2}a{1}"), "[$n|$x]"),
            "\x02"
            "a\x01");
  EXPECT_EQ(rendered(marked("{2}a{1}")), "'a`");
  // A separator in an expansion pairs with the next end mark.
  EXPECT_EQ(rendered(marked("{3}N{1}a{1}b{2}c{2}d"), "[$n|$x]"),
            "[N|a\x01"
            "b\x02"
            "c]d");
  // An end mark in a name lowers the balance that a separator raises again.
  EXPECT_EQ(rendered(marked("{3}N{2}{1}M{1}x{2}"), "[$n|$x]"), "[N\x02\x01M|x]");
}

TEST(Renderer, OpenGroupsEndWithTheText) {
  EXPECT_EQ(rendered(marked("a {3}N{1}x"), "[$n|$x]"), "a [N|x]");
  EXPECT_EQ(rendered(marked("a {3}N"), "[$n|$x]"), "a [N|]");
  // A nested group ends with the text too, so it renders within its own
  // group (rendering by levels let it take the rest of the outer format).
  EXPECT_EQ(rendered(marked("a {3}N{1}{3}M"), "[$n|$x]"), "a [N|[M|]]");
  EXPECT_EQ(rendered(marked("{3}N{3}M{1}m{2}{1}x{2}"), "[$n|$x]"), "[N[M|m]|x]");
}

// Appends random marked text: bytes, escape pairs, and groups nested in
// expansion texts. Marks out of place are mixed in where the structure stays
// the one that rendering by levels sees: stray marks outside groups, a
// separator and end mark pair in an expansion, an end mark and separator
// pair in an outermost name, a lone end mark closing an expansion early.
void add_random_text(std::mt19937& random, std::string& out, int depth, int items) {
  constexpr char kBytes[] = {'a', 'b', '$', '`', '\0', '\n'};
  for (int item = 0; item < items; ++item) {
    switch (random() % 10) {
      case 0:
      case 1:
        if (depth < 4) {
          out += kStartMark;
          const bool outermost = depth == 0;
          out += 'N';
          if (outermost && random() % 4 == 0) out += marked("{2}n{1}");
          out += kSeparatorMark;
          add_random_text(random, out, depth + 1, static_cast<int>(random() % 4));
          // The outermost group may be left open at the end.
          if (!(outermost && item + 1 == items && random() % 3 == 0)) out += kEndMark;
        }
        break;
      case 2:
        out += kEscapeMark;
        out += static_cast<char>(1 + random() % 4);
        break;
      case 3:
        if (depth == 0) out += random() % 2 == 0 ? kSeparatorMark : kEndMark;
        if (depth > 0 && random() % 3 == 0) out += kEndMark;
        if (depth > 0 && random() % 3 == 0) {
          out += kSeparatorMark;
          add_random_text(random, out, depth, 1);
          out += kEndMark;
        }
        break;
      default: out += kBytes[random() % std::size(kBytes)];
    }
  }
}

TEST(Renderer, RendersAsByLevels) {
  const std::string_view formats[] = {"[$n|$x]", "$x$n",          "$n", "$x", "<$x|$x>", "$n$n$x",
                                      "a$",      "$$x$n\x01\x04", ""};
  std::mt19937 random(29);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    add_random_text(random, text, 0, 1 + static_cast<int>(random() % 6));
    for (const std::string_view format : formats) {
      ASSERT_EQ(rendered(text, format), peeled(format, text)) << format << " on " << round;
    }
  }
}

TEST(Renderer, DeepNestingTakesOnePass) {
  constexpr int kDepth = 100'000;
  std::string opens;
  for (int level = 0; level < kDepth; ++level) opens += marked("{3}N{1}");
  const std::string closes(kDepth, kEndMark);
  std::string bracketed;
  for (int level = 0; level < kDepth; ++level) bracketed += "[N|";
  bracketed += "x" + std::string(kDepth, ']');
  EXPECT_EQ(rendered(opens + "x" + closes, "[$n|$x]"), bracketed);
  EXPECT_EQ(rendered(opens + "x" + closes, "$x$n"), "x" + std::string(kDepth, 'N'));
  // Left open, every group ends with the text.
  EXPECT_EQ(rendered(opens + "x", "[$n|$x]"), bracketed);
  // Nested in names instead.
  std::string in_names;
  for (int level = 0; level < kDepth; ++level) in_names += marked("{3}N");
  EXPECT_EQ(rendered(in_names, "$n."), std::string(kDepth, 'N') + std::string(kDepth, '.'));
}

}  // namespace
}  // namespace sornik

namespace sornik {
namespace {

// Reads texts of decimal digits (with a leading '-' for negative) as ints.
class IntReader final : public ValueReader {
 public:
  bool read(std::string_view text, IntegerValue& value) override {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return false;
    const std::uint64_t magnitude = std::stoull(std::string(digits));
    value = {(negative ? 0 - magnitude : magnitude) & 0xFFFFFFFFu, 32, false};
    return true;
  }
};

// "A" (line 3 of a.h) expands to "1 + B", B (a system header's, at the
// command line) to "-2".
struct TwoLevels {
  TwoLevels(bool b_annotated = true) {
    facts.values = &reader;
    facts.add_group({.macro = "A", .defined_at = {"a.h", 3}});
    facts.add_group(
        {.macro = "B", .defined_at = {"<command line>", 0}, .system = true, .annotated = b_annotated});
  }
  const std::string text = marked("x = {3}A{1}1 + {3}B{1}-2{2}{2};\n");
  IntReader reader;
  UseFacts facts;
};

std::string rendered_with(Renderer renderer, const TwoLevels& line, std::size_t depth = 0) {
  renderer.set_depth(depth);
  return std::string(renderer.render(line.text, &line.facts));
}

TEST(Renderer, FactSequences) {
  const TwoLevels line;
  EXPECT_EQ(rendered_with(Renderer("[$m@$d=$v/$h:$x]"), line),
            "x = [A@a.h:3=/:1 + [B@<command line>=-2/0xFFFFFFFE:-2]];\n");
  // Without facts they stand for nothing, as every other sequence does.
  EXPECT_EQ(rendered(line.text, "[$m$d$v$h$x]"), "x = [1 + [-2]];\n");
  EXPECT_FALSE(Renderer("$n$x").needs().groups);
  EXPECT_TRUE(Renderer("$d").needs().groups);
  EXPECT_TRUE(Renderer::json().needs().places);
  EXPECT_FALSE(Renderer().needs().groups);
}

TEST(Renderer, DepthShowsGroupsDownToItsLevel) {
  const TwoLevels line;
  EXPECT_EQ(rendered_with(Renderer(), line, 1), "x = A`1 + -2';\n");
  EXPECT_EQ(rendered_with(Renderer(), line, 2), "x = A`1 + B`-2'';\n");
  EXPECT_EQ(rendered_with(Renderer("[$n|$v]"), line, 1), "x = [A|];\n");
  EXPECT_FALSE([] {
    Renderer renderer;
    renderer.set_depth(1);
    return renderer.default_form();
  }());
  // Three levels: the third goes final below depth 2.
  const std::string text = marked("{3}A{1}a{3}B{1}b{3}C{1}c{2}{2}{2}");
  Renderer renderer("[$n|$x]");
  renderer.set_depth(2);
  EXPECT_EQ(renderer.render(text), "[A|a[B|bc]]");
}

TEST(Renderer, UsesOutOfFocusReadAsWrittenOrAsTheirExpansion) {
  const TwoLevels nested_out(false);
  // Nested: its expansion, with no level of its own.
  EXPECT_EQ(rendered_with(Renderer(), nested_out, 0), "x = A`1 + -2';\n");
  // Outermost: its name text, while the groups inside it still show.
  const std::string text = marked("{3}S{1}{3}P{1}1{2}{2} {3}P{1}1{2}");
  UseFacts facts;
  facts.add_group({.macro = "S", .annotated = false});
  facts.add_group({.macro = "P"});
  facts.add_group({.macro = "P"});
  Renderer renderer;
  EXPECT_EQ(renderer.render(text, &facts), "S P`1'");
  const std::string inside = marked("{3}P{1}{3}S{1}{3}Q{1}{3}R{1}1{2}{2}{2}{2}");
  UseFacts inner;
  inner.add_group({.macro = "P"});
  inner.add_group({.macro = "S", .annotated = false});
  inner.add_group({.macro = "Q"});
  inner.add_group({.macro = "R"});
  renderer.set_depth(2);
  EXPECT_EQ(renderer.render(inside, &inner), "P`Q`1''");
}

// The colour switches of a coloured rendering written as <N> (name), <M>
// (the format's bytes and facts), <1>..<4> (expansion levels), <0> (plain).
std::string colours_named(std::string_view text) {
  static const std::pair<std::string_view, std::string_view> kNames[] = {
      {"\x1b[0;1;34m", "<N>"}, {"\x1b[0;90m", "<M>"}, {"\x1b[0;32m", "<1>"}, {"\x1b[0;36m", "<2>"},
      {"\x1b[0;35m", "<3>"},   {"\x1b[0;33m", "<4>"}, {"\x1b[0m", "<0>"}};
  std::string named;
  for (std::size_t pos = 0; pos < text.size();) {
    const auto* known = std::find_if(std::begin(kNames), std::end(kNames), [&](const auto& pair) {
      return text.substr(pos).starts_with(pair.first);
    });
    if (known == std::end(kNames)) {
      named += text[pos++];
    } else {
      named += known->second;
      pos += known->first.size();
    }
  }
  return named;
}

std::string coloured(Renderer renderer, std::string_view text, std::size_t depth = 0) {
  renderer.set_coloured(true);
  renderer.set_depth(depth);
  return colours_named(renderer.render(text));
}

TEST(Renderer, ColoursTellPartsAndLevelsApart) {
  EXPECT_EQ(coloured(Renderer(), kLine), "x = <N>A<M>`<1>1 + <N>B<M>`<2>2<M>''<0>;\n");
  // After a nested group the text around it takes its colour back; the
  // fifth level takes the first level's colour again.
  EXPECT_EQ(
      coloured(Renderer("[$n:$x]"), marked("{3}A{1}a{3}B{1}b{3}C{1}c{3}D{1}d{3}E{1}e{2}{2}{2}{2}f{2}")),
      "<M>[<N>A<M>:<1>a<M>[<N>B<M>:<2>b<M>[<N>C<M>:<3>c<M>[<N>D<M>:<4>d<M>[<N>E<M>:<1>e<M>]]]]<1>f<M>]<0>");
  // A group inside a name text returns to the name's colour.
  EXPECT_EQ(coloured(Renderer(), marked("{3}F({3}B{1}2{2}){1}2{2}")),
            "<N>F(B<M>`<2>2<M>'<N>)<M>`<1>2<M>'<0>");
  // Final texts below the depth take their group's colour.
  EXPECT_EQ(coloured(Renderer(), kLine, 1), "x = <N>A<M>`<1>1 + 2<M>'<0>;\n");
  // A coloured renderer marks every group, even in the default form.
  Renderer renderer;
  renderer.set_coloured(true);
  EXPECT_FALSE(renderer.default_form());
  EXPECT_EQ(rendered(kLine), "x = A`1 + B`2'';\n");
}

TEST(Renderer, JsonFormWritesNoPlainText) {
  const TwoLevels line;
  Renderer renderer = Renderer::json();
  EXPECT_FALSE(renderer.copies_plain_text());
  EXPECT_TRUE(Renderer().copies_plain_text());
  const std::string out(renderer.render(line.text, &line.facts));
  EXPECT_EQ(out.find("x ="), std::string::npos);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
}

}  // namespace
}  // namespace sornik
