// The C mode's command line read into options.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace sornik {

// The command line of the C mode: `--cpp [options] [--] [file]...`.
struct CppOptions {
  // -D, -U and -d in command-line order.
  struct Setting {
    enum class Kind { define, undefine, macros_of } kind;
    std::string value;
  };
  std::vector<Setting> settings;
  std::vector<std::string> include_dirs;  // -I, in order
  std::vector<std::string> sources;
  std::string format;  // -f
  bool has_format = false;
  bool list_file_names = false;  // -l
  bool no_system_dirs = false;   // -nostdinc
  bool print_defines = false;    // --print-defines
  bool undef = false;            // -undef: none of the compiler's own macros
  std::string compiler;          // --compiler=CMD: whose facts apply ("" the default)
};

// Reads the arguments after `--cpp`. Options may come in any order before
// the first source file and take their value attached (-Idir) or as the
// next argument (-I dir); `--` ends them. False with the message in `error`
// for an unknown option or a missing value.
bool parse_cpp_options(std::span<const std::string> args, CppOptions& options, std::string& error);

}  // namespace sornik
