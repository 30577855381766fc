// The code lines of a source file two ways: as the C mode expands them and as
// the compiler's preprocessor gives them, for the checks that compare the two
// token by token (cmode_real_code_check, cmode_gcc_suite_check,
// cmode_project_check).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cmode/lex/dialect.h"

namespace sornik {

// How a file is read on both sides.
struct CodeSetup {
  bool cxx = false;
  std::string standard;  // -std= ("" the compiler's default, "ansi" for -ansi)
  bool trigraphs = false;  // -trigraphs
  bool keep_comments = false;  // -C
  std::vector<std::string> include_dirs;
  std::vector<std::string> include_files;  // -include, read before the file
  // "-Dname[=value]" and "-Uname", in their order.
  std::vector<std::string> settings;
  // A file of #define lines that stand for the predefined macros.
  std::string predefs;
};

// The include directories of the compiler of `cxx`'s language.
const std::vector<std::string>& system_include_directories(bool cxx);

// The dialect that `setup` reads.
cmode::Dialect dialect_of(const CodeSetup& setup);

// The C mode's -f '$x' output of the code lines of `path`: directive lines
// and skipped groups are bare line ends.
std::string code_expansion(const CodeSetup& setup, const std::string& path);

// The lines of the compiler's output `output` that come from `path` itself,
// without directive lines (#pragma and the line markers).
std::string compiler_main_file_code(const std::string& output, const std::string& path);

// The tokens of `text` without its #pragma lines (what _Pragma writes), as
// the lexing dialect reads them. A line of a comment may begin with `#` too,
// so only #pragma lines go.
std::vector<std::string> tokens_of(const std::string& text);

// Where two token sequences part: " at token N: <ours> | <name>: <theirs>",
// eight tokens of each from there.
std::string first_difference(const std::vector<std::string>& ours, const std::vector<std::string>& theirs,
                             const std::string& name);

// All that `stream` holds from where it stands.
std::string read_rest(std::FILE* stream);

}  // namespace sornik
