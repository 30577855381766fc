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

// A line marker's flag 2 goes back only to the file a flag 1 left, in the
// physical file that entered it; the files entered count as includes.
TEST(BuiltinState, LineMarkersLeaveOnlyTheFilesTheyEntered) {
  BuiltinState state;
  state.enter_file("main.c", "main.c");
  std::string file = "main.c";
  EXPECT_FALSE(state.leave_by_marker(file));
  state.enter_by_marker();
  const std::string inner = "inner.h";
  state.set_line(3, 1, &inner);
  EXPECT_EQ(state.include_level(), 1u);
  state.enter_file("real.h", "real.h");
  file = "main.c";
  EXPECT_FALSE(state.leave_by_marker(file));
  EXPECT_EQ(state.include_level(), 2u);
  state.leave_file();
  file = "other.c";
  EXPECT_FALSE(state.leave_by_marker(file));
  file.clear();
  EXPECT_TRUE(state.leave_by_marker(file));
  EXPECT_EQ(file, "main.c");
  EXPECT_EQ(state.include_level(), 0u);
  EXPECT_FALSE(state.leave_by_marker(file));
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
