// Checks the C mode against the tests of GCC's own preprocessor (the files of
// its gcc.dg/cpp and c-c++-common/cpp folders, downloaded beforehand). Each
// test runs as C with the options of its dg-options note (the folder's
// default, -ansi -pedantic-errors, without one), and as C++ too (g++ -E the
// oracle, default -pedantic-errors) when a note names C++ as its target; each
// run is checked for:
//   1. tokens: sornik's -f '$x' against gcc -E on the test's code lines;
//   2. diagnostics: each dg-error and dg-warning note against the errors and
//      warnings sornik writes on the line the note names, and the lines where
//      sornik writes one that no note expects; the same against what gcc -E
//      itself writes (notes of the compiler proper are not the preprocessor's);
//   3. status: gcc -E fails and sornik does not.
// Tests that need an option the C mode does not take are left out and named.
// Usage: cmode_gcc_suite_check [-v] <sornik> <dir> [<test.c>...]
//   (every *.c of <dir> without test names; see scripts/gcc-cpp-suite.sh)
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "cmode/lex/dialect.h"
#include "cmode/lex/logical_lines.h"
#include "code_lines.h"
#include "gcc_suite_notes.h"

namespace {

using namespace sornik;

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether `output` holds a match of a note's pattern, read as Tcl gives it
// to the test driver (`\[` is a bracket).
bool output_matches(const std::string& output, const std::string& pattern) {
  std::string expression;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '\\' && i + 1 < pattern.size() && (pattern[i + 1] == '[' || pattern[i + 1] == ']')) ++i;
    expression += pattern[i];
  }
  try {
    return std::regex_search(output, std::regex(expression));
  } catch (const std::regex_error&) {
    return false;
  }
}

// How the C mode meets a compiler option.
enum class Fit { take, drop, leave_test };

bool starts(std::string_view text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

Fit fit_of(const std::string& option) {
  // Options that change what the preprocessor reads or writes.
  static const std::set<std::string_view> unknown = {"-traditional",
                                                     "-traditional-cpp",
                                                     "-fpreprocessed",
                                                     "-fdirectives-only",
                                                     "-CC",
                                                     "-x",
                                                     "-fno-dollars-in-identifiers",
                                                     "-fno-extended-identifiers",
                                                     "-fworking-directory",
                                                     "-remap",
                                                     "-fdebug-cpp",
                                                     "-I-",
                                                     "-S"};
  static const std::vector<std::string_view> unknown_prefixes = {"-d",
                                                                 "-M",
                                                                 "-A",
                                                                 "-lang-",
                                                                 "-finput-charset=",
                                                                 "-fexec-charset=",
                                                                 "-fwide-exec-charset=",
                                                                 "-Wp,",
                                                                 "-ftabstop=",
                                                                 "-fmax-include-depth=",
                                                                 "-fmacro-prefix-map="};
  if (unknown.count(option) != 0) return Fit::leave_test;
  // Dumps that add directives to gcc's output and change no expansion.
  if (option == "-dD" || option == "-dN" || option == "-dI" || option == "-dU") return Fit::drop;
  for (std::string_view prefix : unknown_prefixes)
    if (starts(option, prefix)) return Fit::leave_test;
  // Options of the compiler proper or of the driver, no matter to the output.
  if (option == "-P" || option == "-save-temps" || option == "-v" || starts(option, "-l")) return Fit::drop;
  return Fit::take;
}

// gcc 12, the oracle, knows C23 by its draft name.
std::string gcc_spelling(const std::string& option) {
  if (option == "-std=c23") return "-std=c2x";
  if (option == "-std=gnu23") return "-std=gnu2x";
  if (option == "-Wc11-c23-compat") return "-Wc11-c2x-compat";
  return option;
}

std::string quoted(const std::string& word) {
  std::string text = "'";
  for (const char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return text + "'";
}

// Runs `command` through the shell; its exit status, or -1.
int run_command(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The errors and warnings `messages` gives for the file `name`.
std::set<Diagnostic> diagnostics_of(const std::string& messages, const std::string& name) {
  std::set<Diagnostic> said;
  std::size_t pos = 0;
  while (pos < messages.size()) {
    std::size_t end = messages.find('\n', pos);
    if (end == std::string::npos) end = messages.size();
    const std::string line = messages.substr(pos, end - pos);
    pos = end + 1;
    if (!starts(line, name + ":")) continue;
    std::size_t at = name.size() + 1;
    std::size_t digits = at;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) ++digits;
    if (digits == at) continue;
    Diagnostic diagnostic;
    diagnostic.line = std::stoi(line.substr(at, digits - at));
    std::string_view rest = std::string_view(line).substr(digits);
    // gcc writes a column after the line.
    if (rest.size() > 1 && rest[0] == ':' && std::isdigit(static_cast<unsigned char>(rest[1]))) {
      rest.remove_prefix(1);
      while (!rest.empty() && std::isdigit(static_cast<unsigned char>(rest[0]))) rest.remove_prefix(1);
    }
    if (starts(rest, ": error: ") || starts(rest, ": fatal error: ")) {
      diagnostic.error = true;
    } else if (!starts(rest, ": warning: ")) {
      continue;
    }
    said.insert(diagnostic);
  }
  return said;
}

// The counts of the table.
struct Tally {
  int c_runs = 0;
  int cxx_runs = 0;
  int run = 0;  // of those, the ones not left out
  int agree = 0;
  int differ = 0;
  int not_compared = 0;
  int missed_failures = 0;
  int expected = 0;
  int given = 0;
  int extra = 0;
  int expected_of_gcc = 0;
  int given_of_gcc = 0;
  int extra_beside_gcc = 0;
  std::map<std::string, std::vector<std::string>> left_out;  // option -> tests
};

// A predefined-macro file for the options that choose them, made once.
std::string predefs_for(bool cxx, const std::vector<std::string>& choosing) {
  static std::map<std::pair<bool, std::vector<std::string>>, std::string> made;
  std::string& path = made[{cxx, choosing}];
  if (path.empty()) {
    path =
        "/tmp/cmode_gcc_suite_check." + std::to_string(getpid()) + "." + std::to_string(made.size()) + ".h";
    std::string command = cxx ? "g++ -dM -E" : "gcc -dM -E";
    for (const std::string& option : choosing) command += " " + quoted(gcc_spelling(option));
    run_command(command + (cxx ? " -x c++" : " -x c") + " /dev/null >" + path + " 2>/dev/null");
  }
  return path;
}

// The options of a run: the test's, with the test suite's folder in paths
// (`-include $srcdir/c-c++-common/cpp/x.h`) the test's own folder.
std::vector<std::string> options_of(const TestNotes& notes, bool cxx) {
  std::vector<std::string> options = notes.has_options ? notes.options
                                     : cxx             ? std::vector<std::string>{"-pedantic-errors"}
                                           : std::vector<std::string>{"-ansi", "-pedantic-errors"};
  for (std::string& option : options)
    if (starts(option, "$srcdir/")) option = "." + option.substr(option.rfind('/'));
  return options;
}

void check(const std::string& sornik, const std::string& name, bool cxx, bool verbose, Tally& tally) {
  const TestNotes notes = read_notes(read_file(name), cxx);
  if (!notes.runs) return;
  ++(cxx ? tally.cxx_runs : tally.c_runs);
  const std::string shown = cxx ? name + " (c++)" : name;
  const std::vector<std::string> options = options_of(notes, cxx);
  std::vector<std::string> ours;
  if (cxx) ours = {"-x", "c++"};
  CodeSetup setup;
  setup.cxx = cxx;
  std::vector<std::string> choosing;
  for (std::size_t i = 0; i < options.size(); ++i) {
    const std::string& option = options[i];
    const Fit fit = fit_of(option);
    if (fit == Fit::leave_test) {
      tally.left_out[option].push_back(shown);
      return;
    }
    if (fit == Fit::drop) continue;
    ours.push_back(option);
    if (starts(option, "-std=")) setup.standard = option.substr(5);
    if (option == "-ansi") setup.standard = "ansi";
    if (option == "-trigraphs") setup.trigraphs = true;
    if (option == "-C") setup.keep_comments = true;
    if (starts(option, "-std=") || option == "-ansi" || option == "-undef" || starts(option, "-O") ||
        starts(option, "-f"))
      choosing.push_back(option);
    if (option == "-include" && i + 1 < options.size()) setup.include_files.push_back(options[i + 1]);
    if ((option == "-D" || option == "-U" || option == "-I") && i + 1 < options.size()) {
      ours.push_back(options[++i]);
      (option == "-I" ? setup.include_dirs : setup.settings)
          .push_back(option == "-I" ? options[i] : option + options[i]);
    } else if (starts(option, "-D") || starts(option, "-U")) {
      setup.settings.push_back(option);
    } else if (starts(option, "-I")) {
      setup.include_dirs.push_back(option.substr(2));
    }
  }
  ++tally.run;
  setup.predefs = predefs_for(cxx, choosing);
  const std::string gcc_out = "/tmp/cmode_gcc_suite_check." + std::to_string(getpid()) + ".out";
  const std::string gcc_err = gcc_out + ".gcc";
  const std::string our_err = gcc_out + ".ours";
  // Both sides leave out what the C mode does not take: gcc -E without its
  // line markers (-P) would leave nothing to compare.
  std::string gcc_command = cxx ? "timeout 20 g++ -E" : "timeout 20 gcc -E";
  for (const std::string& option : options)
    if (fit_of(option) != Fit::drop) gcc_command += " " + quoted(gcc_spelling(option));
  const int gcc_status = run_command(gcc_command + " " + quoted(name) + " >" + gcc_out + " 2>" + gcc_err);
  std::string our_command = "timeout 20 " + quoted(sornik) + " --cpp";
  for (const std::string& option : ours) our_command += " " + quoted(option);
  const int our_status = run_command(our_command + " -f '$x' " + quoted(name) + " >/dev/null 2>" + our_err);

  std::vector<std::string> problems;
  const std::string gcc_messages = read_file(gcc_err);
  // A fatal error or a crash leaves gcc's output cut short.
  if (gcc_messages.find("fatal error") != std::string::npos ||
      gcc_messages.find("internal compiler error") != std::string::npos) {
    ++tally.not_compared;
  } else {
    // Both outputs read in the test's dialect: sornik's keeps the source's
    // comments and trigraphs, gcc's has neither (a `//` in it is two
    // divisions that ISO C90 kept apart).
    const std::string our_code = code_expansion(setup, name);
    cmode::Dialect dialect = dialect_of(setup);
    const cmode::ScopedLexingDialect scoped(dialect);
    cmode::slashes_divide = false;
    const std::vector<std::string> mine = tokens_of(our_code);
    dialect.trigraphs = false;
    const cmode::ScopedLexingDialect converted(dialect);
    cmode::slashes_divide = true;
    const std::vector<std::string> theirs = tokens_of(compiler_main_file_code(read_file(gcc_out), name));
    if (mine == theirs) {
      ++tally.agree;
    } else {
      ++tally.differ;
      problems.push_back("tokens differ" + first_difference(mine, theirs, "gcc"));
    }
  }
  if (gcc_status != 0 && our_status == 0) {
    ++tally.missed_failures;
    problems.push_back("gcc -E fails (status " + std::to_string(gcc_status) + "), sornik does not");
  }

  const std::set<Diagnostic> gcc_said = diagnostics_of(gcc_messages, name);
  const std::string our_messages = read_file(our_err);
  const std::set<Diagnostic> we_said = diagnostics_of(our_messages, name);
  std::set<Diagnostic> noted;
  for (const Expected& expected : notes.expected) {
    noted.insert(expected.where);
    // A note of no line (-H's output) is looked for in the whole error output.
    const bool anywhere = expected.where.line == 0;
    const bool given =
        anywhere ? output_matches(our_messages, expected.pattern) : we_said.count(expected.where) != 0;
    const bool of_gcc =
        anywhere ? output_matches(gcc_messages, expected.pattern) : gcc_said.count(expected.where) != 0;
    ++tally.expected;
    tally.given += given ? 1 : 0;
    tally.expected_of_gcc += of_gcc ? 1 : 0;
    tally.given_of_gcc += of_gcc && given ? 1 : 0;
    if (!given)
      problems.push_back("line " + std::to_string(expected.where.line) + ": no " +
                         (expected.where.error ? "error" : "warning") + " \"" + expected.pattern + "\"" +
                         (of_gcc ? "" : " (gcc -E gives none)"));
  }
  for (const Diagnostic& said : we_said) {
    if (noted.count(said) == 0) {
      ++tally.extra;
      problems.push_back("line " + std::to_string(said.line) + ": " + (said.error ? "error" : "warning") +
                         " no note expects" + (gcc_said.count(said) != 0 ? " (gcc -E gives one)" : ""));
    }
    if (gcc_said.count(said) == 0) ++tally.extra_beside_gcc;
  }
  if (verbose || !problems.empty()) {
    std::cout << shown << (problems.empty() ? ": agrees\n" : ":\n");
    for (const std::string& problem : problems) std::cout << "  " << problem << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  const bool verbose = argc > 1 && std::string_view(argv[1]) == "-v";
  if (verbose) ++first;
  if (argc - first < 2) {
    std::cerr << "usage: cmode_gcc_suite_check [-v] <sornik> <dir> [<test.c>...]\n";
    return 2;
  }
  const std::string sornik = std::filesystem::absolute(argv[first]).string();
  const std::filesystem::path dir = argv[first + 1];
  std::vector<std::string> names(argv + first + 2, argv + argc);
  if (names.empty()) {
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      if (entry.path().extension() == ".c") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
  }
  std::filesystem::current_path(dir);
  Tally tally;
  for (const std::string& name : names) {
    check(sornik, name, false, verbose, tally);
    if (names_cxx(read_file(name))) check(sornik, name, true, verbose, tally);
  }
  std::cout << "\n"
            << names.size() << " tests: " << tally.c_runs << " runs as C, " << tally.cxx_runs << " as C++; "
            << tally.c_runs + tally.cxx_runs - tally.run
            << " left out for options the C mode does not take:\n";
  for (const auto& [option, tests] : tally.left_out) {
    std::cout << "  " << option << ":";
    for (const std::string& test : tests) std::cout << " " << test;
    std::cout << "\n";
  }
  std::cout << "| tests | tokens agree | differ | not compared | gcc fails, sornik not |\n"
            << "| " << tally.run << " | " << tally.agree << " | " << tally.differ << " | "
            << tally.not_compared << " | " << tally.missed_failures << " |\n\n"
            << "| expected diagnostics | given | missing | extra |\n"
            << "| notes: " << tally.expected << " | " << tally.given << " | " << tally.expected - tally.given
            << " | " << tally.extra << " |\n"
            << "| notes gcc -E gives: " << tally.expected_of_gcc << " | " << tally.given_of_gcc << " | "
            << tally.expected_of_gcc - tally.given_of_gcc << " | " << tally.extra_beside_gcc
            << " beside gcc's |\n";
  return 0;
}
