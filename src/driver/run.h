#pragma once

#include <string>
#include <vector>

namespace sornik {

// Runs one whole invocation with `args` (the arguments after the program
// name) over the streams of run_io(), and returns its exit status. Every run
// starts from clean state, so runs can follow one another in one process.
int run_sornik(const std::vector<std::string>& args);

}  // namespace sornik
