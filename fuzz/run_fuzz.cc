// The whole run: a fuzzer-chosen command line (first section, one argument a
// line) over up to three fuzzer-chosen files named a, b and c (the following
// sections); any other name cannot be opened. A fatal stop is a normal
// outcome. Checked: the leading arguments that choose another run (--help,
// --version, --cpp), the argument phases (an independent reading of them must
// ask for the same run) and the properties of every run (fuzz_support.h).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/help_text.h"
#include "fuzz_support.h"

namespace {

using sornik::fuzzing::require_equal;
using sornik::fuzzing::RunSetup;

constexpr std::size_t kMostArguments = 16;

// Checks a run whose first argument chooses something other than the
// default mode's phases, as the program reads it; false when the first
// argument does not.
bool check_leading_option(const std::vector<std::string>& args,
                          const std::map<std::string, std::string>& files,
                          const sornik::fuzzing::RunOutcome& outcome) {
  if (args.empty()) return false;
  if (args[0] == "--help" || args[0] == "--version") {
    // Whatever follows, the text alone and status 0.
    require_equal(args[0] + ": exit status", "0", std::to_string(outcome.status));
    require_equal(args[0] + ": standard output",
                  args[0] == "--help" ? sornik::kHelpText : sornik::kVersionText, outcome.out);
    require_equal(args[0] + ": standard error", "", outcome.err);
    return true;
  }
  if (args[0] == "--cpp") {
    // The C mode's own targets check its properties; here the whole command
    // line must give the same run twice.
    const auto again = sornik::fuzzing::run_in_memory(args, files);
    require_equal("--cpp, a second run: exit status", std::to_string(outcome.status),
                  std::to_string(again.status));
    require_equal("--cpp, a second run: standard output", outcome.out, again.out);
    require_equal("--cpp, a second run: standard error", outcome.err, again.err);
    return true;
  }
  return false;
}
// The run that `args` asks for, read phase by phase; nullopt when the
// command line ends the run before any file is read ("-usage" alone, no
// argument, or "-f" or "-d" without the argument it needs).
std::optional<RunSetup> read_phases(const std::vector<std::string>& args) {
  if (args.empty() || (args.size() == 1 && args[0] == "-usage")) return std::nullopt;
  RunSetup setup;
  std::size_t next = 0;
  for (; next < args.size(); ++next) {
    if (args[next] == "-l") {
      setup.list_file_names = true;
    } else if (args[next] == "-f") {
      if (++next == args.size()) return std::nullopt;
      setup.format = args[next];
    } else {
      break;
    }
  }
  for (; next < args.size() && args[next] == "-d"; next += 2) {
    if (next + 1 == args.size()) return std::nullopt;
    setup.define_files.push_back(args[next + 1]);
  }
  setup.source_files.assign(args.begin() + static_cast<std::ptrdiff_t>(next), args.end());
  return setup;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sections = sornik::fuzzing::split_sections(data, size, 4);
  std::vector<std::string> args;
  for (const std::string_view line : sornik::fuzzing::split_lines(sections[0])) args.emplace_back(line);
  if (args.size() > kMostArguments) return -1;
  for (const std::string& arg : args) {
    if (sornik::fuzzing::is_costly_format(arg)) return -1;
  }
  const std::map<std::string, std::string> files = {
      {"a", std::string(sections[1])}, {"b", std::string(sections[2])}, {"c", std::string(sections[3])}};

  const auto outcome = sornik::fuzzing::run_in_memory(args, files);
  if (sornik::fuzzing::slow(outcome)) return 0;
  if (check_leading_option(args, files, outcome)) return 0;
  std::optional<RunSetup> setup = read_phases(args);
  if (!setup) {
    require_equal("a command line that ends the run: exit status", "1", std::to_string(outcome.status));
    const auto again = sornik::fuzzing::run_in_memory(args, files);
    require_equal("a second run: standard output", outcome.out, again.out);
    require_equal("a second run: standard error", outcome.err, again.err);
    return 0;
  }
  setup->files = files;
  const auto expected = sornik::fuzzing::check_run_properties(*setup);
  require_equal("the argument phases: exit status", std::to_string(expected.status),
                std::to_string(outcome.status));
  require_equal("the argument phases: standard output", expected.out, outcome.out);
  require_equal("the argument phases: standard error", expected.err, outcome.err);
  return 0;
}
