// The conversion of one source file: plain lines streamed, the others
// expanded directly or through the passes, then written.
#pragma once

#include <string>

#include "render/renderer.h"

namespace sornik {

// Copies one source file to the output with every defined name expanded,
// after a "/* === name === */" header when `list_file_names` is set, each
// use rendered by `renderer`. A file that cannot be read is reported and
// skipped.
void convert_source_file(const std::string& name, bool list_file_names, Renderer& renderer);

// Whether lines that need no pass are written straight from the input
// (the default). Off, every line goes through the passes; tests compare the two.
extern bool stream_plain_lines;

}  // namespace sornik
