// Tests of the search for plain lines: whole lines of a source block that need no
// pass, found with byte masks.
#include "textual/files/plain_lines.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "textual/defines/define_table.h"

using namespace std::string_literals;

namespace sornik {
namespace {

class FindPlainLines : public ::testing::Test {
 protected:
  FindPlainLines() {
    for (const std::string_view name : {"NAME", "Nx", "LONG_NAME_THAT_CROSSES_A_WORD"}) {
      DefineEntry& entry = table_.add_define_record();
      table_.keep_name(entry, name);
      table_.keep_body(entry, "1");
    }
    DefineEntry& quoted = table_.add_define_record();
    table_.keep_name(quoted, "QUOTED");
    table_.keep_body(quoted, "\"q\"");
    DefineEntry& call = table_.add_define_record();
    table_.keep_name(call, "CALL", "a");
    table_.keep_body(call, "(a)");
    table_.sort_defines();
  }

  // How many bytes of `text` are found plain, from `state`.
  std::size_t plain_size(const std::string& text, LineStart state = LineStart::kCode) {
    return find_plain_lines(table_, text, state).size;
  }

  DefineTable table_;
};

// A line with a defined name in code ends the search before it; names in
// comments, literals and "#" lines do not.
TEST_F(FindPlainLines, StopsBeforeTheLineWithADefinedNameInCode) {
  const std::string plain = "int a = NAMES + Nxy + xNAME;  /* NAME */ // NAME\n\"NAME\" 'NAME'\n#if NAME\n";
  EXPECT_EQ(plain_size(plain + "x = NAME;\nmore\n"), plain.size());
  EXPECT_EQ(plain_size(plain + "NAME\n"), plain.size());
  EXPECT_EQ(plain_size(plain + " #if NAME\n"), plain.size()) << "only a # in the first byte";
  EXPECT_EQ(plain_size("x\n" + plain + "\"a\"NAME\n"), plain.size() + 2);
  EXPECT_EQ(plain_size("/* a */NAME\n"), 0u);
  EXPECT_EQ(plain_size("a+Nx\n"), 0u);
  // Names that end or cross the 64-byte pieces are looked up whole.
  for (std::size_t before = 40; before < 70; ++before) {
    const std::string line = std::string(before, ' ') + "LONG_NAME_THAT_CROSSES_A_WORD;\n";
    EXPECT_EQ(plain_size("p\n" + line), 2u) << before;
    EXPECT_EQ(plain_size("p\n" + std::string(before, ' ') + "LONG_NAME_THAT_CROSSES_A_WORDS\n"), before + 33)
        << before;
    EXPECT_EQ(plain_size(std::string(before, ' ') + "xNAME\n"), before + 6) << before;
  }
}

// "*/" ends a comment even in code and in a line comment, where the names
// after it are looked up again.
TEST_F(FindPlainLines, CommentsOpenAndCloseAsTheFirstPassSees) {
  EXPECT_EQ(plain_size("a *// NAME\n"), 0u) << "\"*/\" takes the slash";
  EXPECT_EQ(plain_size("a */* NAME\n"), 0u);
  EXPECT_EQ(plain_size("a /*/ NAME */ b\n"), 16u);
  EXPECT_EQ(plain_size("a // b */ c\n"), 0u) << "left to the passes";
  EXPECT_EQ(plain_size("#x // b */ c\n"), 0u);
  EXPECT_EQ(plain_size("a // b /* c\nNAME\n"), 12u);
  const PlainLines open = find_plain_lines(table_, "/* a\nNAME\nb */ c\nNAME\n", LineStart::kCode);
  EXPECT_EQ(open.size, 17u);
  EXPECT_EQ(open.state, LineStart::kCode);
  EXPECT_EQ(plain_size("NAME */ x\n", LineStart::kComment), 10u);
  EXPECT_EQ(plain_size("*/ NAME\n", LineStart::kComment), 0u);
  const PlainLines still_open = find_plain_lines(table_, "/* a */ /* b\n", LineStart::kCode);
  EXPECT_EQ(still_open.state, LineStart::kComment);
}

// Literals go on over lines; an escaped byte and the second byte of a
// two-byte character never close one; a lead byte before NUL is no pair.
TEST_F(FindPlainLines, LiteralsCloseOnlyOnTheirOwnQuote) {
  const struct {
    std::string text;
    LineStart start;
    std::size_t size;
    LineStart state;
  } cases[] = {
      {"\"a' NAME\n", LineStart::kCode, 9, LineStart::kString},
      {"'a\" NAME\n", LineStart::kCode, 9, LineStart::kCharacter},
      {"NAME\" NAME\n", LineStart::kString, 0, LineStart::kString},
      {"NAME' x\n", LineStart::kCharacter, 8, LineStart::kCode},
      {"\"\\\" NAME\n", LineStart::kCode, 9, LineStart::kString},
      {"\"a\\\nNAME\"\n", LineStart::kCode, 10, LineStart::kCode},
      {"\"\x81\" NAME\n", LineStart::kCode, 9, LineStart::kString},
      {"\"\\\x81\" NAME\n", LineStart::kCode, 10, LineStart::kString},
      {"\"\x81\0\" NAME\n"s, LineStart::kCode, 0, LineStart::kCode},
      {"\"\xa0\" NAME\n", LineStart::kCode, 0, LineStart::kCode},
      {"\"\x81\nNAME\"\n", LineStart::kCode, 9, LineStart::kCode},
      {"\"\\\x81\nNAME\"\n", LineStart::kCode, 10, LineStart::kCode},
  };
  for (const auto& c : cases) {
    const PlainLines found = find_plain_lines(table_, c.text, c.start);
    EXPECT_EQ(found.size, c.size) << c.text;
    if (found.size == c.text.size()) {
      EXPECT_EQ(found.state, c.state) << c.text;
    }
  }
  // Literals that open and close at the edges of the 64-byte pieces.
  for (std::size_t before = 58; before < 68; ++before) {
    const std::string blanks(before, ' ');
    EXPECT_EQ(plain_size("x\n" + blanks + "\"ab\" NAME\n"), 2u) << before;
    EXPECT_EQ(plain_size("x\n" + blanks + "'\"' NAME\n"), 2u) << before;
    const std::string open = "x\n" + blanks + "\"a'\\\"b NAME\n";
    const PlainLines found = find_plain_lines(table_, open, LineStart::kCode);
    EXPECT_EQ(found.size, open.size()) << before;
    EXPECT_EQ(found.state, LineStart::kString) << before;
  }
}

// Lines of 1022 bytes with the newline are taken, longer ones left to the
// passes; a text that ends inside a line that may still be plain says so.
TEST_F(FindPlainLines, LineLengthsAndCutLines) {
  const std::string longest = std::string(1021, 'a') + "\n";
  EXPECT_EQ(plain_size(longest + longest), 2044u);
  const PlainLines too_long =
      find_plain_lines(table_, longest + std::string(1022, 'a') + "\nx\n", LineStart::kCode);
  EXPECT_EQ(too_long.size, 1022u);
  EXPECT_FALSE(too_long.cut);
  const PlainLines cut = find_plain_lines(table_, "a\n" + std::string(1021, 'b'), LineStart::kCode);
  EXPECT_EQ(cut.size, 2u);
  EXPECT_TRUE(cut.cut);
  EXPECT_FALSE(find_plain_lines(table_, "a\n" + std::string(1022, 'b'), LineStart::kCode).cut);
  EXPECT_TRUE(find_plain_lines(table_, "a\n\"b\\", LineStart::kCode).cut);
  EXPECT_TRUE(find_plain_lines(table_, "\"\x81", LineStart::kCode).cut);
  const PlainLines empty = find_plain_lines(table_, "", LineStart::kComment);
  EXPECT_EQ(empty.size, 0u);
  EXPECT_EQ(empty.state, LineStart::kComment);
}

// With a list of uses, lines whose defined names in code all have plain
// values are found too; the uses of the line the search stops in are not listed.
TEST_F(FindPlainLines, ListsTheUsesOfPlainValues) {
  std::vector<PlainUse> uses = {{99, "stale"}};
  const std::string text = "a = NAME + Nx;\nb = \"NAME\" /* Nx */;\nc = NAME; d = QUOTED;\n";
  const PlainLines found = find_plain_lines(table_, text, LineStart::kCode, &uses);
  EXPECT_EQ(found.size, text.find("c ="));
  ASSERT_EQ(uses.size(), 2u);
  EXPECT_EQ(uses[0].name_end, 8u);
  EXPECT_EQ(uses[0].value, "1");
  EXPECT_EQ(uses[1].name_end, 13u);
  EXPECT_EQ(find_plain_lines(table_, "NAME\nQUOTED\n", LineStart::kCode, &uses).size, 5u);
  EXPECT_EQ(uses.size(), 1u);
  EXPECT_EQ(find_plain_lines(table_, "x\nNAME\n", LineStart::kCode).size, 2u) << "no list, no use";
  // Names that end or cross the 64-byte pieces, and a text cut in a line.
  for (std::size_t before = 40; before < 70; ++before) {
    const std::string line = std::string(before, ' ') + "LONG_NAME_THAT_CROSSES_A_WORD;\n";
    EXPECT_EQ(find_plain_lines(table_, line + "NAME", LineStart::kCode, &uses).size, line.size()) << before;
    ASSERT_EQ(uses.size(), 1u) << before;
    EXPECT_EQ(uses[0].name_end, before + 29) << before;
  }
  const PlainLines cut = find_plain_lines(table_, "NAME\nNx", LineStart::kCode, &uses);
  EXPECT_TRUE(cut.cut);
  EXPECT_EQ(uses.size(), 1u);
}

// A function-like define's name is a call only when an opening bracket
// follows it directly; a name at the end of the text may still be one.
TEST_F(FindPlainLines, FunctionLikeNamesCallOnlyBeforeABracket) {
  for (const std::string line : {"CALL\n", "CALL (a)\n", "CALL;\n", "CALL)\n", "CALLx(a)\n"}) {
    EXPECT_EQ(plain_size(line), line.size()) << line;
  }
  for (const std::string line : {"CALL(a)\n", "CALL[a]\n", "CALL{a}\n", "CALL<a>\n"}) {
    EXPECT_EQ(plain_size("x\n" + line), 2u) << line;
  }
  EXPECT_FALSE(find_plain_lines(table_, "x\nCALL", LineStart::kCode).cut);
}

// At most 512 uses are listed: the line that would need more is left out.
TEST_F(FindPlainLines, ListsABoundedNumberOfUses) {
  std::vector<PlainUse> uses;
  std::string many;
  for (int line = 0; line < 26; ++line) {
    for (int use = 0; use < 20; ++use) many += "NAME ";
    many += "\n";
  }
  const PlainLines found = find_plain_lines(table_, many, LineStart::kCode, &uses);
  EXPECT_EQ(found.size, 101u * 25);
  EXPECT_EQ(uses.size(), 500u);
}

}  // namespace
}  // namespace sornik
