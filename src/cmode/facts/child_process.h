// Runs another program to its end and collects what it writes: how the C
// mode asks a compiler for its facts.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace sornik::cmode {

struct ChildResult {
  enum class Outcome { exited, signalled, timed_out, not_started } outcome = Outcome::not_started;
  int status = 0;   // the exit status, or the signal that ended it
  std::string out;  // its standard output
  std::string err;  // its standard error, or why it could not be started
  bool ok() const { return outcome == Outcome::exited && status == 0; }
};

// Runs `argv` (argv[0] a path; no shell, no search of PATH) with standard
// input read from `input_path`, and waits for it at most `limit`. A child
// that outlasts the limit is killed with every process it started.
ChildResult run_child(const std::vector<std::string>& argv, const std::string& input_path,
                      std::chrono::milliseconds limit);

// The path of the program `name` would run: `name` itself when it holds a
// '/', else the first executable regular file of that name in the
// directories of PATH; "" when there is none.
std::string find_program(const std::string& name);

}  // namespace sornik::cmode
