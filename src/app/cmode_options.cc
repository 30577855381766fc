// The C mode's command line: gcc's preprocessing options, its other options
// taken and ignored, and the options of sornik's own.
#include "app/cmode_options.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/compile_database.h"
#include "cmode/lex/dialect.h"
#include "common/diagnostic_flags.h"

namespace sornik {

namespace {

using Language = CppOptions::Language;

// More workers than this gain nothing and each holds a whole state.
constexpr unsigned kMostJobs = 256;

// The options that take a value, attached (-Idir, -includefile) or as the
// next argument.
enum class ValueOption {
  define,
  undefine,
  macros,
  include_file,
  include,
  quote,
  system,
  after,
  output,
  language,
  ignored
};

struct ValueOptionName {
  std::string_view name;
  ValueOption option;
};

// Longer names first where one begins another.
constexpr ValueOptionName kValueOptions[] = {
    {"-include", ValueOption::include_file},
    {"-imacros", ValueOption::macros},
    {"-isystem", ValueOption::system},
    {"-iquote", ValueOption::quote},
    {"-idirafter", ValueOption::after},
    {"-MF", ValueOption::ignored},
    {"-MT", ValueOption::ignored},
    {"-MQ", ValueOption::ignored},
    {"-I", ValueOption::include},
    {"-D", ValueOption::define},
    {"-U", ValueOption::undefine},
    {"-d", ValueOption::macros},
    {"-o", ValueOption::output},
    {"-x", ValueOption::language},
};

// gcc's options that the preprocessor takes no action on: these whole
// arguments, and every argument that begins with one of the prefixes.
constexpr std::string_view kIgnoredFlags[] = {"-c", "-E", "-w", "-pthread", "-pipe"};
constexpr std::string_view kIgnoredPrefixes[] = {"-g", "-O", "-W", "-m", "-pedantic", "-M"};

bool is_ignored_flag(std::string_view arg) {
  if (std::find(std::begin(kIgnoredFlags), std::end(kIgnoredFlags), arg) != std::end(kIgnoredFlags))
    return true;
  // An attached -fxxx is a compiler flag; -f alone takes the format.
  if (arg.starts_with("-f") && arg.size() > 2) return true;
  return std::any_of(std::begin(kIgnoredPrefixes), std::end(kIgnoredPrefixes), [&](std::string_view prefix) {
    return arg.starts_with(prefix);
  });
}

// Those of the ignored flags that change the compiler's predefined macros:
// the compiler is asked for its macros with them.
bool changes_predefined_macros(std::string_view arg) {
  return arg == "-pthread" || arg.starts_with("-O") || arg.starts_with("-m") || arg.starts_with("-f");
}

std::optional<Language> language_named(std::string_view name) {
  if (name == "c" || name == "c-header") return Language::c;
  if (name == "c++" || name == "c++-header") return Language::cxx;
  return std::nullopt;
}

// gcc's -dCHARS, the dumps of its preprocessor (-dM, -dD, -dN, -dI, -dU):
// an attached -d value of other letters names a file of macros.
bool is_dump_option(std::string_view arg) {
  return arg.size() > 2 && arg.starts_with("-d") &&
         arg.find_first_not_of("MDNIU", 2) == std::string_view::npos;
}

// The value options that act in -Wp, words: those of the preprocessor's
// input (the preprocessor's -dCHARS asks for dumps: none is sornik's -d).
bool acts_when_passed(const ValueOptionName& entry) {
  return entry.option != ValueOption::output && entry.option != ValueOption::language &&
         entry.option != ValueOption::ignored && entry.name != "-d";
}

// The state of a parse: the options so far and the -x in effect.
class Parser {
 public:
  Parser(std::span<const std::string> args, CppOptions& options, std::string& error, CommandKind kind)
      : args_(args), options_(options), error_(error), kind_(kind) {}

  bool run() {
    bool options_ended = false;
    for (next_ = 0; next_ < args_.size(); ++next_) {
      const std::string& arg = args_[next_];
      if (options_ended || arg.size() < 2 || arg[0] != '-') {
        add_source(arg);
      } else if (arg == "--") {
        options_ended = true;
      } else if (!option(arg)) {
        return false;
      }
    }
    // gcc's driver gives the preprocessor the words of -Wp, after all the
    // options of its own.
    return Parser(passed_, options_, error_, kind_).run_passed();
  }

 private:
  // The words of the -Wp, options: the preprocessor's options act (-D, -U,
  // -I, -undef, ...), every other word is taken and ignored, with the value
  // of one that has a value (-MD FILE).
  bool run_passed() {
    for (next_ = 0; next_ < args_.size(); ++next_) {
      const std::string& arg = args_[next_];
      const ValueOptionName* entry = value_option_of(arg);
      if (entry != nullptr && acts_when_passed(*entry)) {
        if (!value_option(arg)) return false;
      } else if (entry != nullptr || arg == "-MD" || arg == "-MMD") {
        if (entry == nullptr || arg.size() == entry->name.size()) ++next_;
      } else if (arg == "-undef") {
        options_.undef = true;
      } else if (arg == "-trigraphs") {
        options_.trigraphs = true;
      } else if (arg == "-C") {
        options_.keep_comments = true;
      } else if (arg == "-H") {
        options_.show_headers = true;
      } else if (arg == "-nostdinc") {
        options_.no_system_dirs = true;
      }
    }
    return true;
  }

  // Adds the comma-separated words of a -Wp, option to those passed on.
  void pass_words(std::string_view words) {
    for (std::size_t start = 0; start <= words.size();) {
      const std::size_t comma = std::min(words.find(',', start), words.size());
      if (comma > start) passed_.emplace_back(words.substr(start, comma - start));
      start = comma + 1;
    }
  }

  void add_source(const std::string& name) {
    const Language language = language_ ? *language_ : language_by_suffix(name);
    options_.sources.push_back({name, language});
  }

  bool option(const std::string& arg) {
    if (arg == "-l") {
      options_.list_file_names = true;
    } else if (arg == "-nostdinc") {
      options_.no_system_dirs = true;
    } else if (arg == "-undef") {
      options_.undef = true;
    } else if (arg == "-trigraphs") {
      options_.trigraphs = true;
    } else if (arg == "-C") {
      options_.keep_comments = true;
    } else if (arg == "-H") {
      options_.show_headers = true;
    } else if (arg.starts_with("--compiler=")) {
      options_.compiler = arg.substr(std::string_view("--compiler=").size());
      if (options_.compiler.find_first_not_of(" \t") == std::string::npos) {
        error_ = "missing argument to '--compiler='";
        return false;
      }
    } else if (arg.starts_with("--compile-commands=")) {
      options_.database = arg.substr(std::string_view("--compile-commands=").size());
      if (options_.database.empty()) return missing(arg);
    } else if (arg == "-p" && kind_ == CommandKind::compiler) {
      // gcc's profiling flag, which changes no macro.
    } else if (arg.starts_with("-Wp,")) {
      pass_words(std::string_view(arg).substr(4));
    } else if (arg == "-p") {
      if (!take_separate(arg)) return false;
      options_.database = database_in_directory(args_[next_]);
    } else if (arg.starts_with("--query-driver=")) {
      return add_query_drivers(std::string_view(arg).substr(std::string_view("--query-driver=").size()));
    } else if (arg.starts_with("-j")) {
      return set_jobs(arg);
    } else if (arg.starts_with("--depth=")) {
      return set_depth(arg);
    } else if (arg == "--json") {
      options_.json = true;
    } else if (arg == "--color" || arg.starts_with("--color=")) {
      return set_colour(arg);
    } else if (arg == "--no-system-macros") {
      options_.no_system_macros = true;
    } else if (arg.starts_with("--macros-from=")) {
      const std::string path = arg.substr(std::string_view("--macros-from=").size());
      if (path.empty()) return missing(arg);
      options_.macros_from.push_back(path);
    } else if (arg == "--print-defines") {
      options_.print_defines = true;
    } else if (arg == "--html") {
      options_.html = true;
    } else if (arg == "--help") {
      options_.help = true;
    } else if (arg == "-ansi") {
      options_.standard = "ansi";
    } else if (arg.starts_with("-std=")) {
      const std::string name = arg.substr(5);
      // "" and "ansi" name the dialects of no -std= and of -ansi.
      const bool known = cmode::find_dialect(name, false) || cmode::find_dialect(name, true);
      if (!known || name.empty() || name == "ansi") return refuse(arg);
      options_.standard = name;
    } else if (arg.starts_with("--format=")) {
      set_format(arg.substr(9));
    } else if (arg == "-f") {
      if (!take_separate(arg)) return false;
      set_format(args_[next_]);
    } else if (is_dump_option(arg)) {
      // -dM lists the macros as --print-defines; the others ask for the
      // directives in the output, which the listing shows anyway.
      options_.print_defines = options_.print_defines || arg.find('M') != std::string::npos;
    } else if (is_value_option(arg)) {
      return value_option(arg);
    } else if (const std::optional<bool> taken = take_normalized_flag(arg, options_.diagnostics, error_)) {
      return *taken;
    } else if (!is_ignored_flag(arg)) {
      return refuse(arg);
    } else if (take_diagnostic_flag(arg, options_.diagnostics)) {
      return true;
    } else if (changes_predefined_macros(arg)) {
      options_.compiler_flags.push_back(arg);
    }
    return true;
  }

  static const ValueOptionName* value_option_of(std::string_view arg) {
    for (const ValueOptionName& entry : kValueOptions) {
      if (arg.starts_with(entry.name)) return &entry;
    }
    return nullptr;
  }

  static bool is_value_option(std::string_view arg) { return value_option_of(arg) != nullptr; }

  bool value_option(const std::string& arg) {
    const ValueOptionName& entry = *value_option_of(arg);
    std::string value;
    if (arg.size() > entry.name.size()) {
      value = arg.substr(entry.name.size());
    } else {
      if (!take_separate(arg)) return false;
      value = args_[next_];
    }
    using Kind = CppOptions::Setting::Kind;
    switch (entry.option) {
      case ValueOption::define: options_.settings.push_back({Kind::define, value}); break;
      case ValueOption::undefine: options_.settings.push_back({Kind::undefine, value}); break;
      case ValueOption::macros: options_.macro_files.push_back(value); break;
      case ValueOption::include_file: options_.include_files.push_back(value); break;
      case ValueOption::include: options_.include_dirs.push_back(value); break;
      case ValueOption::quote: options_.quote_dirs.push_back(value); break;
      case ValueOption::system: options_.system_dirs.push_back(value); break;
      case ValueOption::after: options_.after_dirs.push_back(value); break;
      case ValueOption::output: options_.output = value; break;
      case ValueOption::language:
        if (value == "none") {
          language_.reset();
        } else if (const std::optional<Language> language = language_named(value)) {
          language_ = language;
        } else {
          error_ = "language " + value + " not recognized";
          return false;
        }
        break;
      case ValueOption::ignored: break;
    }
    return true;
  }

  // Moves to the value of `arg` in the next argument; false when there is none.
  bool take_separate(const std::string& arg) {
    if (next_ + 1 < args_.size()) {
      ++next_;
      return true;
    }
    return missing(arg);
  }

  bool add_query_drivers(std::string_view globs) {
    for (std::size_t start = 0; start <= globs.size();) {
      const std::size_t comma = std::min(globs.find(',', start), globs.size());
      if (comma > start) options_.query_drivers.emplace_back(globs.substr(start, comma - start));
      start = comma + 1;
    }
    return true;
  }

  // -j N or -jN: a count from 1 to kMostJobs.
  bool set_jobs(const std::string& arg) {
    std::string_view value = std::string_view(arg).substr(2);
    if (value.empty()) {
      if (!take_separate(arg)) return false;
      value = args_[next_];
    }
    unsigned jobs = 0;
    const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), jobs);
    if (failure != std::errc() || end != value.data() + value.size() || jobs == 0 || jobs > kMostJobs) {
      error_ =
          "'-j' takes a number from 1 to " + std::to_string(kMostJobs) + ", not '" + std::string(value) + "'";
      return false;
    }
    options_.jobs = jobs;
    return true;
  }

  bool missing(const std::string& arg) {
    error_ = "missing argument to '" + arg + "'";
    return false;
  }

  void set_format(std::string_view format) {
    options_.format = format;
    options_.has_format = true;
  }

  // --color alone colours always, as --color=always.
  bool set_colour(const std::string& arg) {
    const std::string_view when = arg == "--color" ? "always" : std::string_view(arg).substr(8);
    if (when == "always") {
      options_.colour = CppOptions::Colour::always;
    } else if (when == "never") {
      options_.colour = CppOptions::Colour::never;
    } else if (when == "auto") {
      options_.colour = CppOptions::Colour::automatic;
    } else {
      error_ = "'--color=' takes always, never or auto, not '" + std::string(when) + "'";
      return false;
    }
    return true;
  }

  // --depth=N: N a whole number from 1 on.
  bool set_depth(const std::string& arg) {
    const std::string_view digits = std::string_view(arg).substr(std::string_view("--depth=").size());
    std::size_t depth = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), depth);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || depth == 0) {
      error_ = "'--depth=' takes a whole number from 1 on, not '" + std::string(digits) + "'";
      return false;
    }
    options_.depth = depth;
    return true;
  }

  bool refuse(const std::string& arg) {
    error_ = "unrecognized command-line option '" + arg + "'";
    return false;
  }

  std::span<const std::string> args_;
  CppOptions& options_;
  std::string& error_;
  CommandKind kind_;
  std::size_t next_ = 0;
  std::optional<Language> language_;  // none: by suffix
  std::vector<std::string> passed_;   // the words of -Wp, options
};

}  // namespace

bool parse_cpp_options(std::span<const std::string> args, CppOptions& options, std::string& error,
                       CommandKind kind) {
  return Parser(args, options, error, kind).run();
}

Language language_by_suffix(std::string_view name) {
  constexpr std::string_view kCxxSuffixes[] = {".cc", ".cp", ".cxx", ".cpp", ".CPP", ".c++", ".C",   ".ii",
                                               ".hh", ".H",  ".hp",  ".hxx", ".hpp", ".HPP", ".h++", ".tcc"};
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || name.find('/', dot) != std::string_view::npos) return Language::c;
  const std::string_view suffix = name.substr(dot);
  const bool cxx =
      std::find(std::begin(kCxxSuffixes), std::end(kCxxSuffixes), suffix) != std::end(kCxxSuffixes);
  return cxx ? Language::cxx : Language::c;
}

}  // namespace sornik
