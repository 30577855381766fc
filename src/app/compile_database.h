// A compile database (compile_commands.json): the command each source of a
// project is compiled with, and the entry a source takes its flags from.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sornik {

// One entry: a source, the folder its command runs in, and the command's
// words. arguments[0] is the compiler; the rest are its arguments as
// written (relative paths in them are relative to `directory`).
struct CompileEntry {
  std::string directory;
  std::string file;       // as written in the entry
  std::string full_path;  // `file` resolved against `directory`, normalised
  std::vector<std::string> arguments;
};

struct CompileDatabase {
  std::string path;  // the database file, as messages name it
  std::vector<CompileEntry> entries;
};

// Reads `path`: a JSON array of objects with "directory", "file" and either
// "arguments" (a list of words) or "command" (a string cut into words as a
// shell would). False with `error` naming the file and the place: the line
// and column of a JSON syntax error, or the entry (counted from 1) that
// lacks a member or has one of the wrong kind.
bool read_compile_database(const std::string& path, CompileDatabase& database, std::string& error);

// The database file that `-p DIR` names: DIR/compile_commands.json.
std::string database_in_directory(const std::string& directory);

// The entry of `source` (a path relative to the working directory or
// absolute), or null when none names it.
const CompileEntry* entry_of(const CompileDatabase& database, const std::string& source);

// The entry nearest to `source` that has none of its own: the first one of
// a source in its folder or below, else in or below the closest folder above
// it, in database order (the root holds every entry). Null for an empty
// database.
const CompileEntry* nearest_entry(const CompileDatabase& database, const std::string& source);

// `path` made absolute against `directory` (itself against the working
// directory) and normalised lexically.
std::string resolve_path(const std::string& directory, const std::string& path);

}  // namespace sornik
