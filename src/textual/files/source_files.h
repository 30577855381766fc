// The conversion of one source file: plain lines streamed, the others
// expanded directly or through the passes, then written.
#pragma once

#include <string>

#include "textual/files/textual_run.h"

namespace sornik {

// Copies one source file to the output with every defined name expanded,
// after a "/* === name === */" header when `list_file_names` is set, each
// use rendered by the run's renderer. A file that cannot be read is reported
// and skipped. The run's options choose the fast paths taken.
void convert_source_file(TextualRun& run, const std::string& name, bool list_file_names);

}  // namespace sornik
