// Tests of matching one pattern of a replacement template at one position
// (checkstr), and the captures it fills.
#include "textual/replace/pattern_match.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace std::string_literals;

namespace sornik {
namespace {

constexpr std::optional<std::size_t> kNoMatch = std::nullopt;

class PatternMatch : public ::testing::Test {
 protected:
  std::optional<std::size_t> checkstr(std::string_view text, std::size_t pos, std::string_view pattern,
                                      bool after_two_byte) {
    return matcher.checkstr(text, pos, pattern, after_two_byte);
  }

  PatternMatcher matcher;
};

TEST_F(PatternMatch, MatchesAtExactlyThePositionGiven) {
  const struct {
    std::string text;
    std::size_t pos;
    std::string pattern;
    std::optional<std::size_t> end;
  } cases[] = {
      {"abc", 0, "ab", 2},
      {"abc", 1, "ab", kNoMatch},
      {"abc", 1, "b?", 3},
      {"ab", 0, "abc", kNoMatch},  // the text ends first
      {"a?c", 0, "a\\?c", 3},      // an escaped byte is literal
      {"abc", 0, "a\\?c", kNoMatch},
      {"abc", 0, "ab\\", 2},            // a final backslash ends the pattern
      {"ab", 0, "ab\\", kNoMatch},      // where some text is left
      {"x", 0, "", kNoMatch},           // a match of length zero is none
      {"\x82\xA0z", 0, "\x82\xA0", 2},  // a two-byte character as a whole
      {"\x82\xA1z", 0, "\x82\xA0", kNoMatch},
      {"\x82", 0, "\x82\xA0", kNoMatch},
      {"a\0b"s, 0, "a?b", 3},
      {"f(x)", 0, "(f)", 1},  // "(f)" is the whole word f
      {"f (x)", 0, "(f)", 1},
      {"af", 1, "(f)", kNoMatch},  // a name byte before the word
      {"-f", 1, "(f)", 2},
      {"f_", 0, "(f)", kNoMatch},     // a name byte after it
      {"f\xE0", 0, "(f)", kNoMatch},  // or any byte from 0x80
      {"f", 0, "(f)", 1},
      {"()", 0, "()", 2},  // too short to be the word form
  };
  for (const auto& c : cases) {
    EXPECT_EQ(checkstr(c.text, c.pos, c.pattern, false), c.end)
        << "'" << c.pattern << "' in '" << c.text << "' at " << c.pos;
  }
  EXPECT_EQ(checkstr("-f", 1, "(f)", true), kNoMatch) << "after a two-byte character";
  EXPECT_EQ(checkstr("-f", 1, "f", true), 2u);
}

TEST_F(PatternMatch, CapturesTakeTheWholeRunOfTheirClass) {
  const struct {
    std::string pattern;
    std::string text;
    std::optional<std::size_t> end;
    char letter;
    std::string captured;
  } cases[] = {
      {"$A;", "ab12;", 5, 'A', "ab12"},
      {"$a1", "ab1", 3, 'a', "ab"},
      {"$d", "042x", 3, 'd', "042"},
      {"$g", "a-b c", 3, 'g', "a-b"},
      {"$c", "\t\x7Fz", 2, 'c', "\t\x7F"},
      {"$x", "0fAgz", 3, 'x', "0fA"},
      {"$s", " \t\nx", 3, 's', " \t\n"},
      {"$$", "any\xE0 thing", 10, 'A', "any\xE0 thing"},  // "$$" takes the rest, into the "$A" buffer
      {"$a\xE0", "ab\xE0", 3, 'a', "ab"},                 // bytes from 0x80 end every class but "$$"
      {"$d1", "0421", kNoMatch, 'd', "0421"},             // a run is taken whole, never given back
      {"$d", "x", kNoMatch, 'd', ""},                     // an empty run is no match
  };
  for (const auto& c : cases) {
    PatternMatcher fresh;
    EXPECT_EQ(fresh.checkstr(c.text, 0, c.pattern, false), c.end) << c.pattern << " in " << c.text;
    ASSERT_NE(fresh.capture_for(c.letter), nullptr);
    EXPECT_EQ(*fresh.capture_for(c.letter), c.captured) << c.pattern << " in " << c.text;
  }
  EXPECT_EQ(matcher.capture_for('$'), nullptr);
  EXPECT_EQ(matcher.capture_for('q'), nullptr);
}

TEST_F(PatternMatch, CapturesOutliveTheTextTheyCameFrom) {
  std::string text = "value 42;";
  ASSERT_EQ(checkstr(text, 6, "$d;", false), 9u);
  EXPECT_EQ(matcher.from_arg(), "42;");
  // Later positions of the same run end where the run ends.
  ASSERT_EQ(checkstr(text, 7, "$d;", false), 9u);
  matcher.release_text();
  text.assign("overwritten");
  EXPECT_EQ(matcher.captures().arg_d, "2");
  // A failed attempt empties the last match; the captures stay.
  EXPECT_EQ(checkstr(text, 0, "$d", false), kNoMatch);
  EXPECT_EQ(matcher.from_arg(), "");
  EXPECT_EQ(matcher.captures().arg_d, "");
}

TEST_F(PatternMatch, FirstByteOfAMatch) {
  const struct {
    std::string pattern;
    std::optional<char> first;
  } cases[] = {
      {"abc", 'a'},       {"(abc)", 'a'},        {"\\$x", '$'}, {"\\", std::nullopt}, {"?b", std::nullopt},
      {"", std::nullopt}, {"$d1", std::nullopt}, {"$q", '$'},   {"$", '$'},
  };
  for (const auto& c : cases) EXPECT_EQ(first_byte_of_match(c.pattern), c.first) << c.pattern;
}

}  // namespace
}  // namespace sornik
