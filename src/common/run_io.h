// The streams of a run (standard streams or memory), its 64 KB output
// buffer and the read-error state of its input files.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/page_memory.h"

namespace sornik {

// The streams of a run. The program uses the standard streams and the file
// system; tests and fuzzers point them at memory.
struct RunIo {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  // Opens an input file by name for reading; null when it cannot be read.
  // read_whole_input reads through the stream's descriptor: a stream
  // without one (fmemopen) is a file that cannot be read.
  std::function<std::FILE*(const std::string& name)> open_input;
  // Whether a directory of that name exists.
  std::function<bool(const std::string& name)> is_directory;
  // Standard input, which the C mode reads for a source named "-".
  std::FILE* in = stdin;
};

// The streams in use; change them only between runs.
RunIo& run_io();

// What a thread's runs write, held in memory: a worker converting sources
// beside others keeps each source's output and diagnostics until their turn
// to be written comes.
struct CapturedOutput {
  std::string out;
  std::string err;
};

// Sends this thread's out_write and err_write into `capture`, or (null) to
// the streams again. The output buffer, the read-error state and the
// diagnostics' scratch are the thread's own. Returns the capture it ends.
CapturedOutput* capture_output(CapturedOutput* capture);

// Appends to the output buffer, which is written to the output stream in large blocks.
void out_write(std::string_view text);

// Writes out the output buffer. A failed write reports
// "cannot write to standard output\n" and stops the run.
void out_flush();

// Drops whatever the output buffer holds (a new run starts empty).
void out_discard();

// Writes a diagnostic text to the error stream at once.
void err_write(std::string_view text);

// Reports "%s: read error\n" when reading `file` failed. The file counts as
// ended there and the run goes on, but it ends with status 1.
void check_read_error(std::FILE* file, const std::string& name);

// Whether a read failed in this run; a new run starts with none.
bool read_failed();
void reset_read_errors();

// Closes an input file.
struct InputFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// An open input file, closed when its owner lets it go.
using InputFile = std::unique_ptr<std::FILE, InputFileCloser>;

// Opens a file for reading through run_io(); null when it cannot be read,
// with errno telling why (EISDIR for a directory, ENOENT when the opener
// gives no reason). The same holds for the other openers below.
InputFile open_input(const std::string& name);

// As open_input, and sets `regular_size` to the size of a regular file, or
// to 0 for other streams (a pipe, a device, memory). The default opener
// knows the size from its own check, so no second system call is made.
InputFile open_input(const std::string& name, std::size_t& regular_size);

// Reads the whole file `name` through run_io() into `bytes`, made for it,
// and sets `size`; false when it cannot be opened. A regular file is read in
// one call of the size it has when opened, other files until they end; a
// failing read is reported as check_read_error does and ends the text there.
// The default opener reads through a plain descriptor, with no stream.
bool read_whole_input(const std::string& name, PageArray<char>& bytes, std::size_t& size);

// The default opener: fopen, refusing a directory.
std::FILE* open_file_for_reading(const std::string& name);

// The default directory test: stat.
bool path_is_directory(const std::string& name);

}  // namespace sornik
