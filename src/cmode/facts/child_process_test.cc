// Tests of running child processes: outputs, status, signals, the time limit and PATH search.
#include "cmode/facts/child_process.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>

namespace sornik::cmode {
namespace {

using namespace std::chrono_literals;

const std::string kShell = "/bin/sh";

TEST(ChildProcess, CollectsBothOutputsAndTheStatus) {
  const std::string input = ::testing::TempDir() + "child_input.txt";
  std::ofstream(input, std::ios::binary) << "from the file\n";
  // More than a pipe holds on each stream, so that reading one while the
  // other fills up is needed.
  const ChildResult result = run_child(
      {kShell, "-c", "cat; head -c 200000 /dev/zero; head -c 100000 /dev/zero >&2; echo late >&2; exit 3"},
      input, 10s);
  EXPECT_EQ(result.outcome, ChildResult::Outcome::exited);
  EXPECT_EQ(result.status, 3);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.out.size(), 14u + 200000u);
  EXPECT_TRUE(result.out.starts_with("from the file\n"));
  EXPECT_EQ(result.err.size(), 100000u + 5u);
  EXPECT_TRUE(result.err.ends_with("late\n"));

  const ChildResult quiet = run_child({kShell, "-c", "cat"}, "/dev/null", 10s);
  EXPECT_TRUE(quiet.ok());
  EXPECT_EQ(quiet.out, "");
}

TEST(ChildProcess, StopsAChildAndItsChildrenAtTheLimit) {
  const auto start = std::chrono::steady_clock::now();
  // The shell's own child keeps the output open: it must be stopped too.
  const ChildResult result =
      run_child({kShell, "-c", "echo begun; sleep 20; echo never"}, "/dev/null", 300ms);
  EXPECT_EQ(result.outcome, ChildResult::Outcome::timed_out);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

  // A child that closes its outputs but goes on running is stopped as well.
  const ChildResult silent = run_child({kShell, "-c", "exec >&- 2>&-; sleep 20"}, "/dev/null", 300ms);
  EXPECT_EQ(silent.outcome, ChildResult::Outcome::timed_out);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST(ChildProcess, ReportsWhatCannotStartOrDiesBySignal) {
  const ChildResult missing = run_child({"/nonexistent/program"}, "/dev/null", 10s);
  EXPECT_EQ(missing.outcome, ChildResult::Outcome::not_started);
  EXPECT_FALSE(missing.err.empty());
  const ChildResult no_input = run_child({kShell, "-c", "true"}, "/nonexistent/input", 10s);
  EXPECT_NE(no_input.outcome, ChildResult::Outcome::exited);
  const ChildResult killed = run_child({kShell, "-c", "kill -9 $$"}, "/dev/null", 10s);
  EXPECT_EQ(killed.outcome, ChildResult::Outcome::signalled);
  EXPECT_EQ(killed.status, 9);
}

TEST(ChildProcess, FindsProgramsAsAShellDoes) {
  const std::string sh = find_program("sh");
  EXPECT_TRUE(sh.starts_with("/") && sh.ends_with("/sh")) << sh;
  EXPECT_EQ(find_program("/bin/sh"), "/bin/sh");
  EXPECT_EQ(find_program("/nonexistent/sh"), "");
  EXPECT_EQ(find_program("no-such-program-anywhere"), "");
  // A directory or a file that cannot be run is no program.
  EXPECT_EQ(find_program("/tmp"), "");
  EXPECT_EQ(find_program("/etc/passwd"), "");
  EXPECT_EQ(find_program(""), "");
}

}  // namespace
}  // namespace sornik::cmode
