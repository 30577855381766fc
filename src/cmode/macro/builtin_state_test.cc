#include "cmode/macro/builtin_state.h"

#include <gtest/gtest.h>

namespace sornik::cmode {
namespace {

TEST(BuiltinState, LineAndFileOfEachFileStandUntilItIsLeft) {
  BuiltinState state;
  state.enter_file("dir/main.c", "dir/main.c");
  state.set_line(3, 100, nullptr);
  EXPECT_EQ(state.presumed_line(3), 100u);
  EXPECT_EQ(state.presumed_line(2), 99u);
  const std::string renamed = "lexer.l";
  state.enter_file("inc.h", "inc.h");
  EXPECT_EQ(state.include_level(), 1u);
  state.set_line(5, 1, &renamed);
  EXPECT_EQ(state.presumed_file(), "lexer.l");
  EXPECT_EQ(state.presumed_line(5), 1u);
  state.leave_file();
  EXPECT_EQ(state.presumed_file(), "dir/main.c");
  EXPECT_EQ(state.presumed_line(4), 101u);
  EXPECT_EQ(state.base_file(), "dir/main.c");
  EXPECT_EQ(state.include_level(), 0u);
}

TEST(BuiltinState, LinesCountModulo32Bits) {
  BuiltinState state;
  state.enter_file("a.c", "a.c");
  state.set_line(2, 4294967295u, nullptr);
  EXPECT_EQ(state.presumed_line(2), 4294967295u);
  EXPECT_EQ(state.presumed_line(3), 0u);
}

TEST(BuiltinState, CounterStartsAgainWithEachUnit) {
  BuiltinState state;
  EXPECT_EQ(state.next_counter(), 0u);
  EXPECT_EQ(state.next_counter(), 1u);
  state.begin_unit();
  EXPECT_EQ(state.next_counter(), 0u);
}

TEST(BuiltinState, FileNamesAsLiterals) {
  EXPECT_EQ(quoted_file_name("a\\b\".c"), "\"a\\\\b\\\".c\"");
  EXPECT_EQ(file_name_part("x/y/z.c"), "z.c");
  EXPECT_EQ(file_name_part("z.c"), "z.c");
  EXPECT_EQ(file_name_part("x/"), "");
}

}  // namespace
}  // namespace sornik::cmode
