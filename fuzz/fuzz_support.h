#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "captured_io.h"

namespace sornik::fuzzing {

// Fuzz inputs hold several texts (files, arguments, formats) separated by
// this byte, which ordinary C text never contains.
inline constexpr char kSectionMark = '\x1e';

// The texts of a fuzz input: at most `count` sections, the last one taking
// the rest of the input; missing sections are empty.
std::vector<std::string_view> split_sections(const std::uint8_t* data, std::size_t size, std::size_t count);

// Splits `text` at each newline (the newlines dropped); a final newline ends
// the last line rather than opening an empty one.
std::vector<std::string_view> split_lines(std::string_view text);

// What a run left behind, and the in-memory run that gives it.
using RunOutcome = testing::RunResult;

// The options of every fuzzed run: the engine's limits as on a machine with
// little memory to spare, so that a run that substitutes up to them stays
// well inside the fuzzers' time limit under the sanitizers.
inline TextualOptions fuzz_options() {
  return {.stream_plain_lines = true,
          .expand_lines_directly = true,
          .replace_limits = ReplaceLimits{std::size_t{8} << 20, std::size_t{32} << 20}};
}

// One whole run in this process over in-memory files, with fuzz_options()
// unless `options` are given.
inline RunOutcome run_in_memory(const std::vector<std::string>& args,
                                const std::map<std::string, std::string>& files,
                                const TextualOptions& options = fuzz_options()) {
  return testing::run_in_memory(args, files, options);
}

// Runs this slow (a substitution working up to its limits, with the
// sanitizers on) are checked only for crashes, so that every input stays
// well within the fuzzer's time limit.
inline bool slow(const RunOutcome& outcome) { return outcome.seconds > 1.0; }

// A run taken apart into the parts the argument phases give it.
struct RunSetup {
  bool list_file_names = false;
  std::optional<std::string> format;
  std::vector<std::string> define_files;
  std::vector<std::string> source_files;
  std::map<std::string, std::string> files;

  // The plain argument list that asks for this run.
  std::vector<std::string> args() const;
};

// Checks what must hold for every run, whatever its input:
// - a second run gives the same bytes;
// - so does a run that takes every line through the passes;
// - the default rendering equals the format "$n`$x'";
// - the format changes neither the exit status nor the diagnostics;
// - with the format "$n", a run with status 0 writes exactly the source files
//   that could be opened, each after its "-l" header when asked.
// Returns the outcome of `setup` itself; after a slow run nothing else is checked.
RunOutcome check_run_properties(const RunSetup& setup);

// Texts longer than this are not worth a fuzzer's time: what the program
// does to them it does to shorter texts as well.
inline constexpr double kMostBytes = 1 << 22;

// An upper bound of the length of every text that the replacement template
// `templ` makes from a subject of `subject_size` bytes. Each pair works on
// the text the pairs before it left, so a few pairs can grow a text
// exponentially; fuzzers pass over inputs whose bound exceeds kMostBytes.
double template_growth_bound(std::string_view templ, std::size_t subject_size);

// True for a format with more than a few "$x": each copies the expansion
// once more at every nesting level, and a few already show every path.
bool is_costly_format(std::string_view format);

// Reports a broken property with the texts that show it, then aborts so that
// the fuzzer keeps the input.
[[noreturn]] void fail(std::string_view what, std::string_view expected, std::string_view actual);

// fail() unless the two texts are equal.
void require_equal(std::string_view what, std::string_view expected, std::string_view actual);

// Points the error stream at memory while it lives, for targets that call
// the modules directly.
class CapturedErrors {
 public:
  CapturedErrors();
  ~CapturedErrors();
  CapturedErrors(const CapturedErrors&) = delete;
  CapturedErrors& operator=(const CapturedErrors&) = delete;

  // What was written so far.
  std::string text() { return stream_.text(); }

 private:
  std::FILE* saved_;
  testing::MemoryStream stream_;
};

}  // namespace sornik::fuzzing
