// The translation units of a C-mode run and the options each is read under.
#include "app/source_units.h"

#include <cerrno>
#include <cstring>
#include <fnmatch.h>
#include <map>
#include <sys/stat.h>

#include "common/located_diagnostics.h"
#include "common/run_io.h"

namespace sornik {

namespace {

// The name standard input goes by, as the C compiler names it.
constexpr std::string_view kStdinName = "<stdin>";

void resolve_all(const std::string& directory, std::vector<std::string>& paths) {
  for (std::string& path : paths) path = resolve_path(directory, path);
}

template <typename T>
void append(std::vector<T>& to, const std::vector<T>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

// The compiler of an entry as a path: a bare name stays to be found on the
// PATH; a relative path is relative to the entry's directory.
std::string entry_compiler(const CompileEntry& entry) {
  const std::string& word = entry.arguments.front();
  return word.find('/') == std::string::npos ? word : resolve_path(entry.directory, word);
}

bool driver_allowed(const std::string& compiler, const std::vector<std::string>& globs) {
  for (const std::string& glob : globs) {
    if (fnmatch(glob.c_str(), compiler.c_str(), 0) == 0) return true;
  }
  return false;
}

void check_search_directory(const std::string& dir) {
  struct stat status {};
  if (stat(dir.c_str(), &status) == 0) {
    if (!S_ISDIR(status.st_mode)) report_of_run(Severity::warning, dir + ": not a directory");
  } else if (errno == ENOENT) {
    report_of_run(Severity::warning, dir + ": " + std::strerror(ENOENT), Warning::missing_include_dirs);
  } else {
    report_of_run(Severity::error, dir + ": " + std::strerror(errno));
  }
}

// Options equal in everything a reader's state depends on.
std::string options_key(const CppOptions& options) {
  std::string key;
  const auto add = [&key](std::string_view text) {
    key += std::to_string(text.size());
    key += ':';
    key.append(text);
  };
  const auto add_all = [&add](const std::vector<std::string>& texts) {
    add(std::to_string(texts.size()));
    for (const std::string& text : texts) add(text);
  };
  for (const CppOptions::Setting& setting : options.settings) {
    add(setting.kind == CppOptions::Setting::Kind::define ? "D" : "U");
    add(setting.value);
  }
  add("|");
  add_all(options.macro_files);
  add_all(options.include_files);
  add_all(options.quote_dirs);
  add_all(options.include_dirs);
  add_all(options.system_dirs);
  add_all(options.after_dirs);
  add_all(options.compiler_flags);
  add(options.standard);
  add(options.compiler);
  add(options.no_system_dirs ? "n" : "-");
  add(options.undef ? "u" : "-");
  add(!options.sources.empty() && options.sources.front().language == CppOptions::Language::cxx ? "++" : "c");
  return key;
}

// Makes the units' options from their entries, one object for equal ones.
class UnitPlanner {
 public:
  UnitPlanner(const CppOptions& command_line, const CompileDatabase& database, std::string& error)
      : command_line_(command_line), database_(database), error_(error) {}

  // Adds the unit of `path` under `entry`'s flags: its own entry, or the
  // nearest one when `own_entry` is false.
  bool add(const CompileEntry& entry, std::string path, std::string shown, bool own_entry,
           std::vector<SourceUnit>& units) {
    auto options = std::make_shared<CppOptions>();
    if (!options_of_entry(entry, command_line_, *options, error_)) {
      const std::size_t number = static_cast<std::size_t>(&entry - database_.entries.data()) + 1;
      error_ = database_.path + ": entry " + std::to_string(number) + ": " + error_;
      return false;
    }
    // The language of the entry's source (by its -x or its name), also for
    // a header that borrows the entry: it is read as its sources are.
    const CppOptions::Language language =
        options->sources.empty() ? language_by_suffix(entry.file) : options->sources.front().language;
    std::string presumed = own_entry && !options->sources.empty() ? options->sources.front().name : shown;
    options->sources = {{path, language}};
    auto [found, fresh] = shared_.try_emplace(options_key(*options), options);
    units.push_back({std::move(path), std::move(shown), std::move(presumed), found->second, &entry});
    return true;
  }

 private:
  const CppOptions& command_line_;
  const CompileDatabase& database_;
  std::string& error_;
  std::map<std::string, std::shared_ptr<const CppOptions>> shared_;
};

}  // namespace

bool options_of_entry(const CompileEntry& entry, const CppOptions& command_line, CppOptions& options,
                      std::string& error) {
  const std::vector<std::string> words(entry.arguments.begin() + 1, entry.arguments.end());
  CppOptions own;
  if (!parse_cpp_options(words, own, error, CommandKind::compiler)) return false;
  // What says how to show the output is the command line's alone.
  options = command_line;
  // The entry's own source among its words names the unit's language.
  options.sources.clear();
  for (const CppOptions::Source& source : own.sources) {
    if (resolve_path(entry.directory, source.name) == entry.full_path) options.sources.push_back(source);
  }
  resolve_all(entry.directory, own.quote_dirs);
  resolve_all(entry.directory, own.include_dirs);
  resolve_all(entry.directory, own.system_dirs);
  resolve_all(entry.directory, own.after_dirs);
  resolve_all(entry.directory, own.macro_files);
  resolve_all(entry.directory, own.include_files);
  const auto entry_first = [](std::vector<std::string>& entry_values, std::vector<std::string>& line_values) {
    append(entry_values, line_values);
    line_values = std::move(entry_values);
  };
  append(own.settings, options.settings);
  options.settings = std::move(own.settings);
  entry_first(own.macro_files, options.macro_files);
  entry_first(own.include_files, options.include_files);
  entry_first(own.quote_dirs, options.quote_dirs);
  entry_first(own.include_dirs, options.include_dirs);
  entry_first(own.system_dirs, options.system_dirs);
  entry_first(own.after_dirs, options.after_dirs);
  entry_first(own.compiler_flags, options.compiler_flags);
  if (options.standard.empty()) options.standard = own.standard;
  options.no_system_dirs = options.no_system_dirs || own.no_system_dirs;
  options.undef = options.undef || own.undef;
  const std::string compiler = entry_compiler(entry);
  if (driver_allowed(compiler, command_line.query_drivers)) options.compiler = compiler;
  return true;
}

bool plan_units(const CppOptions& options, const CompileDatabase* database, std::vector<SourceUnit>& units,
                std::string& error) {
  if (database == nullptr) {
    const auto shared = std::make_shared<const CppOptions>(options);
    for (const CppOptions::Source& source : options.sources) {
      std::string shown = source.name == "-" ? std::string(kStdinName) : source.name;
      units.push_back({source.name, shown, shown, shared});
    }
    if (options.sources.empty())
      units.push_back({"-", std::string(kStdinName), std::string(kStdinName), shared});
    return true;
  }
  UnitPlanner planner(options, *database, error);
  if (options.sources.empty()) {
    for (const CompileEntry& entry : database->entries) {
      if (!planner.add(entry, entry.full_path, entry.file, true, units)) return false;
    }
    return true;
  }
  for (const CppOptions::Source& source : options.sources) {
    const CompileEntry* entry = entry_of(*database, source.name);
    const bool own_entry = entry != nullptr;
    if (entry == nullptr) {
      entry = nearest_entry(*database, source.name);
      if (entry == nullptr) {
        error = source.name + ": " + database->path + " has no entries";
        return false;
      }
      err_write("sornik: note: " + source.name + " has no entry in " + database->path +
                "; it takes the flags of " + entry->file + "\n");
    }
    if (!planner.add(*entry, source.name, source.name, own_entry, units)) return false;
  }
  return true;
}

void check_search_directories(const CppOptions& options) {
  for (const auto* dirs :
       {&options.system_dirs, &options.after_dirs, &options.include_dirs, &options.quote_dirs})
    for (const std::string& dir : *dirs) check_search_directory(dir);
}

}  // namespace sornik
