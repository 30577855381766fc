// The translation units of a C-mode run: each source with the options it is
// read under, from the command line alone or from its compile database
// entry joined with the command line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/cmode_options.h"
#include "app/compile_database.h"

namespace sornik {

struct SourceUnit {
  std::string path;   // the file opened ("-" for standard input)
  std::string shown;  // its name in messages (and __FILE__ but for a unit of its own entry)
  // Its name in __FILE__: as the compile command of its own entry names it,
  // so that the listing shows what the build's compiler sees; else `shown`.
  std::string presumed;
  // Units of equal options share one object, so that a reader of several
  // units knows when its state can serve the next one as it is.
  std::shared_ptr<const CppOptions> options;
  // The entry whose command the unit takes, null for none: its compiler
  // (arguments[0]) and words decide what the options do not say.
  const CompileEntry* entry = nullptr;
};

// The units of a run: without a database, each source named (standard input
// for none) under `options`. With one, each source named under its entry's
// flags, or under those of the nearest entry with a note on standard error;
// with no source named, every entry in database order. An entry's -o names
// the compiler's object file and never sornik's output. False (with the
// message in `error`) when an entry's words cannot be read as options.
bool plan_units(const CppOptions& options, const CompileDatabase* database, std::vector<SourceUnit>& units,
                std::string& error);

// The options of `entry` joined with those of the command line: the entry's
// words with relative paths resolved against its directory, then the
// command line's -D, -U, directories and files after them, its -std= and
// flags over the entry's, and its output options. The entry's compiler
// gives the facts only when a --query-driver glob matches it.
bool options_of_entry(const CompileEntry& entry, const CppOptions& command_line, CppOptions& options,
                      std::string& error);

// Reports the search directories of `options` that are none, as the C
// compiler checks them before each source: every -isystem, -idirafter, -I
// and -iquote in that order, a missing one under -Wmissing-include-dirs, a
// file with a warning, any other failure (a path through a file) as an
// error.
void check_search_directories(const CppOptions& options);

}  // namespace sornik
