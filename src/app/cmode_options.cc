// Reading the C mode's command line: options with attached or separate values.
#include "app/cmode_options.h"

namespace sornik {

namespace {

// The options that take a value, attached or as the next argument.
constexpr char kValueOptions[] = "fIDUd";

}  // namespace

bool parse_cpp_options(std::span<const std::string> args, CppOptions& options, std::string& error) {
  std::size_t next = 0;
  for (; next < args.size(); ++next) {
    const std::string& arg = args[next];
    if (arg == "--") {
      ++next;
      break;
    }
    if (arg.size() < 2 || arg[0] != '-') break;
    if (arg == "-l") {
      options.list_file_names = true;
      continue;
    }
    if (arg == "-nostdinc") {
      options.no_system_dirs = true;
      continue;
    }
    if (arg == "-undef") {
      options.undef = true;
      continue;
    }
    if (arg.starts_with("--compiler=")) {
      options.compiler = arg.substr(std::string_view("--compiler=").size());
      if (options.compiler.find_first_not_of(" \t") != std::string::npos) continue;
      error = "missing argument to '--compiler='";
      return false;
    }
    if (arg == "--print-defines") {
      options.print_defines = true;
      continue;
    }
    const char letter = arg[1];
    if (arg[0] != '-' || std::string_view(kValueOptions).find(letter) == std::string_view::npos) {
      error = "unrecognized command-line option '" + arg + "'";
      return false;
    }
    std::string value;
    if (arg.size() > 2) {
      value = arg.substr(2);
    } else if (next + 1 < args.size()) {
      value = args[++next];
    } else {
      error = "missing argument to '" + arg + "'";
      return false;
    }
    switch (letter) {
      case 'f':
        options.format = value;
        options.has_format = true;
        break;
      case 'I': options.include_dirs.push_back(value); break;
      case 'D': options.settings.push_back({CppOptions::Setting::Kind::define, value}); break;
      case 'U': options.settings.push_back({CppOptions::Setting::Kind::undefine, value}); break;
      default: options.settings.push_back({CppOptions::Setting::Kind::macros_of, value}); break;
    }
  }
  options.sources.assign(args.begin() + static_cast<std::ptrdiff_t>(next), args.end());
  return true;
}

}  // namespace sornik
