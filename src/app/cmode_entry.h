// The C mode's entry: a whole run of `sornik --cpp ...`.
#pragma once

#include <span>
#include <string>

namespace sornik {

// Runs the C mode with the arguments after `--cpp` and returns the exit
// status: 0, or 1 when a source file or a -d header could not be read or the
// command line is wrong.
int run_cpp_mode(std::span<const std::string> args);

}  // namespace sornik
