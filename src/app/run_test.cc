#include "app/run.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "captured_io.h"

namespace sornik {
namespace {

using testing::run_in_memory;

const std::map<std::string, std::string> kFiles = {
    {"defs.h", "#define UNUSED_NAME 1\n"},
    {"a.c", "int a;\n"},
};

TEST(Run, WriteFailureIsReportedAndEndsWithStatusOne) {
  testing::CapturedIo io;
  io.files = kFiles;
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  run_io().out = full;
  EXPECT_EQ(run_sornik({"-d", "defs.h", "a.c"}), 1);
  EXPECT_EQ(io.err(), "cannot write to standard output\n");
  std::fclose(full);
}

TEST(Run, RunsInOneProcessStartFromCleanState) {
  const auto first = run_in_memory({"-l", "-d", "defs.h", "a.c"}, kFiles);
  const auto second = run_in_memory({"-l", "-d", "defs.h", "a.c"}, kFiles);
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.out, "/* === a.c === */\nint a;\n");
  EXPECT_EQ(second.out, first.out);
  EXPECT_EQ(second.err, first.err);
  // A fatal run leaves nothing behind for the next one.
  EXPECT_EQ(run_in_memory({"-d", "defs.h", "-d"}, kFiles).status, 1);
  EXPECT_EQ(run_in_memory({"-d", "defs.h", "a.c"}, kFiles).out, "int a;\n");
}

// A C-mode run of a process that ends with it leaves its state to the
// system; the next run of a process of several (this one) still starts clean,
// and the state left before is freed then (the leak checker of the sanitizer
// build sees the rest).
TEST(Run, CModeRunsThatLeaveTheirStateStartFromCleanState) {
  const std::map<std::string, std::string> files = {
      {"a.c", "#include \"h.h\"\nV W\n"},
      {"h.h", "#ifndef W\n#define W 2\n#endif\n"},
  };
  const auto plain = run_in_memory({"--cpp", "-undef", "-nostdinc", "-D", "V=1", "a.c"}, files);
  run_ends_process = true;
  const auto first = run_in_memory({"--cpp", "-undef", "-nostdinc", "-D", "V=1", "a.c"}, files);
  const auto second = run_in_memory({"--cpp", "-undef", "-nostdinc", "a.c"}, files);
  const auto listed = run_in_memory({"--cpp", "-undef", "-nostdinc", "--print-defines", "-D", "W=3"}, files);
  run_ends_process = false;
  EXPECT_EQ(plain.status, 0);
  EXPECT_NE(plain.out.find("V`1' W`2'"), std::string::npos) << plain.out;
  EXPECT_EQ(first.out, plain.out);
  EXPECT_EQ(first.err, plain.err);
  EXPECT_NE(second.out.find("\nV W`2'"), std::string::npos) << second.out;
  EXPECT_NE(listed.out.find("#define W 3"), std::string::npos) << listed.out;
}

TEST(Run, OutputBeforeAFatalStopIsKept) {
  const std::string too_long(1023, 'x');
  const auto result =
      run_in_memory({"-d", "defs.h", "a.c", "b.c"},
                    {{"defs.h", "#define N 1\n"}, {"a.c", "kept\n"}, {"b.c", "also kept\n" + too_long}});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "kept\nalso kept\n");
}

TEST(Run, EverySourceFileStartsOutsideCommentsAndLiterals) {
  for (const char* open_at_end : {"/* open\n", "\"open\n", "'open\n", "x /* a */ /* b\n"}) {
    const auto result = run_in_memory({"-d", "defs.h", "a.c", "b.c"},
                                      {{"defs.h", "#define X 1\n"}, {"a.c", open_at_end}, {"b.c", "X\n"}});
    EXPECT_EQ(result.out, std::string(open_at_end) + "X`1'\n") << open_at_end;
  }
}

TEST(Run, ValuesAreResolvedInNameOrderAfterTheSort) {
  // A chain defined leaf first: resolved in file order, every value would be
  // 1 after one sweep; in name order A has used up its three rewrites at I.
  std::string defines = "#define K 1\n";
  for (char name = 'J'; name >= 'A'; --name)
    defines += std::string("#define ") + name + " " + char(name + 1) + "\n";
  const auto result = run_in_memory({"-d", "defs.h", "a.c"}, {{"defs.h", defines}, {"a.c", "A C D\n"}});
  EXPECT_EQ(result.out, "A`I`1'' C`K`1'' D`1'\n");
}

}  // namespace
}  // namespace sornik
