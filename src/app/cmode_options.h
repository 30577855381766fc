// The C mode's command line read into options.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/located_diagnostics.h"

namespace sornik {

// The command line of the C mode: `--cpp` and then a compiler's command line,
// as gcc reads it.
struct CppOptions {
  enum class Language { c, cxx };

  // -D and -U in command-line order.
  struct Setting {
    enum class Kind { define, undefine } kind;
    std::string value;
  };
  // A file to convert ("-" for standard input) and the language it is read
  // in: the -x in effect where it was named, else the one its suffix says.
  struct Source {
    std::string name;
    Language language = Language::c;
  };

  std::vector<Setting> settings;
  // Files read before each source as gcc reads them: first the -imacros (or
  // -d) files for their macros alone, then the -include files.
  std::vector<std::string> macro_files;
  std::vector<std::string> include_files;
  // The include chain: #include "..." searches quote_dirs, then all the
  // others; #include <...> begins with include_dirs.
  std::vector<std::string> quote_dirs;    // -iquote
  std::vector<std::string> include_dirs;  // -I
  std::vector<std::string> system_dirs;   // -isystem, before the compiler's own
  std::vector<std::string> after_dirs;    // -idirafter, after the compiler's own
  std::vector<Source> sources;
  // The -std= value of the last -std= or -ansi ("ansi" for -ansi), empty for
  // the compiler's default.
  std::string standard;
  // The ignored flags that change what the compiler predefines (-O2 defines
  // __OPTIMIZE__, -m32 and -fPIC others), in order, for asking it.
  std::vector<std::string> compiler_flags;
  // -pedantic, -pedantic-errors (or -Wpedantic, -Werror=pedantic), -w.
  DiagnosticRules diagnostics;
  std::string output;  // -o; empty for standard output
  std::string format;  // -f FORMAT or --format=FORMAT
  bool has_format = false;
  bool list_file_names = false;  // -l
  bool no_system_dirs = false;   // -nostdinc
  bool print_defines = false;    // --print-defines
  bool html = false;             // --html: one HTML page for the run
  bool help = false;             // --help
  bool undef = false;            // -undef: none of the compiler's own macros
  bool trigraphs = false;        // -trigraphs: converted in every dialect
  bool keep_comments = false;    // -C: comments are tokens in code lines
  bool show_headers = false;     // -H: the headers read, on the error stream
  std::string compiler;          // --compiler=CMD: whose facts apply ("" the default)
  // The compile database: -p DIR (DIR/compile_commands.json) or
  // --compile-commands=FILE; empty for none.
  std::string database;
  // --query-driver=GLOB[,GLOB...]: the compilers a database entry may name
  // to be run for their facts.
  std::vector<std::string> query_drivers;
  unsigned jobs = 0;  // -j N: sources converted at once; 0 for one per core
  // The listing: the levels of groups shown (--depth=N, 0 for all), JSON
  // Lines (--json), and the focus (--no-system-macros, --macros-from=PATH).
  std::size_t depth = 0;
  bool json = false;
  bool no_system_macros = false;
  std::vector<std::string> macros_from;
  // --color[=WHEN]: colours always, never, or (auto) when the listing goes
  // to a terminal and NO_COLOR is unset or empty.
  enum class Colour { never, always, automatic } colour = Colour::never;
};

// Whose command line is read: sornik's own, or a compile command of a
// compile database (where -p is gcc's profiling flag, not -p DIR).
enum class CommandKind { sornik, compiler };

// Reads the arguments after `--cpp` as gcc reads its own: options and files
// in any order, values attached (-Idir) or in the next argument (-I dir), `-`
// for standard input, `--` ending the options. Options that change nothing
// the preprocessor does (-c, -O2, -Wall, -fPIC, -MD, ...) are taken and
// ignored, so that a compile command can be given whole; the words of
// -Wp,WORD[,WORD...] are the preprocessor's options, read after all others
// as gcc's driver passes them. False with the message in `error` for an
// unknown option, a missing or wrong value.
bool parse_cpp_options(std::span<const std::string> args, CppOptions& options, std::string& error,
                       CommandKind kind = CommandKind::sornik);

// The language of a file by its suffix, as gcc decides it without -x.
CppOptions::Language language_by_suffix(std::string_view name);

}  // namespace sornik
