// One whole run of the program over its arguments.
#pragma once

#include <string>
#include <vector>

#include "textual/files/textual_options.h"

namespace sornik {

// Runs one whole invocation with `args` (the arguments after the program
// name) over the streams of run_io(), and returns its exit status. Every run
// starts from clean state, so runs can follow one another in one process.
// A run of the default mode takes the fast paths and limits `options` give.
int run_sornik(const std::vector<std::string>& args, const TextualOptions& options = {});

// Set by main: the process ends when its one run returns, so the run may
// leave its larger structures to the system instead of freeing them piece
// by piece.
extern bool run_ends_process;

}  // namespace sornik
