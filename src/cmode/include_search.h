#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cmode/compiler_facts.h"  // system_include_directories() for the search chain
#include "services/page_memory.h"

namespace sornik::cmode {

// A header file as the include search knows it. Its text is read once per
// run and shared by every translation unit.
struct HeaderFile {
  std::string path;       // as the search built it: directory, "/", name
  std::string_view text;  // in `bytes`
  PageArray<char> bytes;
  bool readable = false;
  // The macro of the include guard around all of its text, once a reading
  // has shown one: the file adds nothing while that macro is defined.
  std::string guard;
};

// Where a header was found.
struct FoundHeader {
  HeaderFile* file = nullptr;
  // Index of the directory in the search chain, or -1 when the file was
  // found beside its includer or by an absolute name.
  int chain_index = -1;
};

// The directories #include searches, and the files read from them.
class IncludeSearch {
 public:
  // Appends a directory to the chain (the -I directories, then the system
  // ones); a directory already in the chain is ignored.
  void add_directory(std::string_view dir);

  // Finds `name`: a quoted name first beside the includer (in
  // `includer_dir`), then in the chain from index `start` on.
  FoundHeader find(std::string_view name, bool quoted, std::string_view includer_dir, std::size_t start);

  // The file at `path` as given (a -d header or a source); null when it
  // cannot be read.
  HeaderFile* open(const std::string& path);

  // The directory part of a path ("" for a bare name), as the directory for
  // quoted includes.
  static std::string_view directory_of(std::string_view path);

 private:
  // False when `name` lies in a subdirectory that `dir` does not have: most
  // system directories lack most of the subdirectories headers name, and a
  // failed open costs a system call each time.
  bool may_hold(std::string_view dir, std::string_view name);

  std::vector<std::string> chain_;
  // Every path tried, readable or not, so that each is opened only once.
  std::unordered_map<std::string, std::unique_ptr<HeaderFile>> files_;
  // Whether each subdirectory asked about exists.
  std::unordered_map<std::string, bool> subdirectories_;
};

}  // namespace sornik::cmode
