#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "services/run_io.h"

namespace sornik::testing {

// Points the run's streams at memory while it lives: output and error
// streams are captured, and input files come from `files` by name.
class CapturedIo {
 public:
  CapturedIo();
  ~CapturedIo();
  CapturedIo(const CapturedIo&) = delete;
  CapturedIo& operator=(const CapturedIo&) = delete;

  std::map<std::string, std::string> files;

  // What was written so far.
  std::string out();
  std::string err();

 private:
  RunIo saved_;
  std::FILE* out_;
  std::FILE* err_;
};

// One whole run over in-memory files.
struct RunResult {
  int status;
  std::string out;
  std::string err;
};
RunResult run_in_memory(const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& files);

}  // namespace sornik::testing
