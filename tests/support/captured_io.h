#pragma once

#include <cstddef>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/run_io.h"
#include "textual/files/textual_options.h"

namespace sornik::testing {

// A stream that collects what is written to it in memory.
class MemoryStream {
 public:
  MemoryStream();
  ~MemoryStream();
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  std::FILE* stream() const { return stream_; }

  // What was written so far.
  std::string text();

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_;
};

// A stream that reads `text`, with a descriptor of its own (a file in
// memory), so that it is read by the code that reads files from the disk.
std::FILE* memory_file(std::string_view text);

// Points the run's streams at memory while it lives: output and error
// streams are captured, and input files come from `files` by name (any
// other name cannot be opened; a directory exists when a file lies in it).
// Change `files` only between runs.
class CapturedIo {
 public:
  CapturedIo();
  ~CapturedIo();
  CapturedIo(const CapturedIo&) = delete;
  CapturedIo& operator=(const CapturedIo&) = delete;

  std::map<std::string, std::string> files;

  // What was written so far.
  std::string out() { return out_.text(); }
  std::string err() { return err_.text(); }

 private:
  RunIo saved_;
  MemoryStream out_;
  MemoryStream err_;
};

// What a whole run left behind, and how long it took.
struct RunResult {
  int status = 0;
  std::string out;
  std::string err;
  double seconds = 0;

  // The run ended because memory could not be obtained.
  bool out_of_memory() const;
};

// One whole run of sornik in this process, over in-memory files.
RunResult run_in_memory(const std::vector<std::string>& args, const std::map<std::string, std::string>& files,
                        const TextualOptions& options = {});

}  // namespace sornik::testing
