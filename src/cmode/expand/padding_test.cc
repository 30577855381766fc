// Tests of the blank rule and of the folding of paddings, which must act as the runs it folds.
#include "cmode/expand/padding.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace sornik::cmode {
namespace {

// Paddings spelled as letters: S a start written after white space, U one
// written without, E an end.
ExpToken padding_of(char letter) {
  return mark_token(Mark::padding, 0, letter == 'E' ? Padding::end : Padding::start, letter == 'S');
}

ExpToken token(bool own_space) {
  ExpToken token;
  token.text = "x";
  token.own_space = own_space;
  return token;
}

// Whether the token after `before` (a run the rule has met first) and then
// `paddings` gets a blank.
bool blank_after(const std::vector<ExpToken>& before, const std::vector<ExpToken>& paddings, bool own_space) {
  BlankRule rule;
  for (const ExpToken& mark : before) rule.pass(mark);
  for (const ExpToken& mark : paddings) rule.pass(mark);
  return rule.blank_before(token(own_space));
}

std::vector<ExpToken> run_of(const std::string& letters) {
  std::vector<ExpToken> run;
  for (char letter : letters) run.push_back(padding_of(letter));
  return run;
}

TEST(BlankRule, TheFirstPaddingDecidesUnlessUnspacedAndEnded) {
  EXPECT_TRUE(blank_after({}, run_of("S"), false));
  EXPECT_FALSE(blank_after({}, run_of("U"), true));
  EXPECT_TRUE(blank_after({}, run_of("SE"), false)) << "an empty expansion of a spaced name";
  EXPECT_TRUE(blank_after({}, run_of("UES"), false)) << "the end lets a later start decide";
  EXPECT_FALSE(blank_after({}, run_of("US"), false)) << "a start after a start counts for nothing";
  EXPECT_TRUE(blank_after({}, run_of("UE"), true)) << "then the token's own white space decides";
  EXPECT_FALSE(blank_after({}, run_of("E"), false));
  // A token ends the run: the next one starts afresh.
  BlankRule rule;
  rule.pass(padding_of('S'));
  EXPECT_TRUE(rule.blank_before(token(false)));
  EXPECT_FALSE(rule.blank_before(token(false)));
  // A mark that stands for no padding is passed over.
  rule.pass(mark_token(Mark::open, 1));
  EXPECT_FALSE(rule.blank_before(token(false)));
}

TEST(AppendPadding, AFoldedRunActsAsTheRunItWasEverywhere) {
  // Every run of up to six paddings, folded as appended after a token, must
  // decide the next token as the whole run does, after any run before it.
  std::vector<std::string> runs{""};
  for (std::size_t i = 0; i < runs.size(); ++i)
    if (runs[i].size() < 6)
      for (const char letter : {'S', 'U', 'E'}) runs.push_back(runs[i] + letter);
  for (const std::string& run : runs) {
    std::vector<ExpToken> folded{token(false)};
    for (const char letter : run) append_padding(folded, padding_of(letter));
    ASSERT_LE(folded.size(), 3u) << run;
    const std::vector<ExpToken> kept(folded.begin() + 1, folded.end());
    for (const std::string before : {"", "S", "U", "E"})
      for (const bool own_space : {false, true})
        EXPECT_EQ(blank_after(run_of(before), kept, own_space),
                  blank_after(run_of(before), run_of(run), own_space))
            << before << " then " << run;
  }
  EXPECT_EQ(runs.size(), 1u + 3 + 9 + 27 + 81 + 243 + 729);
}

}  // namespace
}  // namespace sornik::cmode
