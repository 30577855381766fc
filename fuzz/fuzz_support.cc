#include "fuzz_support.h"

#include <cstdlib>
#include <new>

#include "app/run.h"
#include "cmode/facts/facts_source.h"
#include "common/byte_class.h"
#include "common/run_io.h"

namespace sornik::fuzzing {

namespace {

// A fuzzed run never starts a compiler or writes a cache: the C mode takes
// the build's facts of the compiler.
[[maybe_unused]] const bool kNoCompilerRuns = (cmode::allow_compiler_runs(false), true);

// Shows a text in a report: printable ASCII as it is, other bytes escaped,
// long texts cut in the middle.
std::string printable(std::string_view text) {
  constexpr std::size_t kShown = 2000;
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.size() > kShown && i == kShown / 2) {
      shown += "[... " + std::to_string(text.size() - kShown) + " bytes ...]";
      i = text.size() - kShown / 2;
    }
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\n') {
      shown += "\\n\n";
    } else if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      shown += static_cast<char>(byte);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    }
  }
  return shown;
}

void require_same_outcome(std::string_view what, const RunOutcome& expected, const RunOutcome& actual) {
  const std::string label(what);
  require_equal(label + ": exit status", std::to_string(expected.status), std::to_string(actual.status));
  require_equal(label + ": standard output", expected.out, actual.out);
  require_equal(label + ": standard error", expected.err, actual.err);
}

// What a run of `setup` writes under the format "$n" when it ends normally.
std::string concatenated_sources(const RunSetup& setup) {
  std::string text;
  for (const std::string& name : setup.source_files) {
    const auto found = setup.files.find(name);
    if (found == setup.files.end()) continue;
    if (setup.list_file_names) text += "/* === " + name + " === */\n";
    text += found->second;
  }
  return text;
}

}  // namespace

}  // namespace sornik::fuzzing

// Three expansion levels let a few hundred bytes of input ask for gigabytes.
// Under the fuzzers an allocation beyond 256 MiB fails, as it would on a
// smaller machine, and the run ends with its memory message instead of the
// fuzzer ending on its memory limit. The sanitizer's own operator new would
// report such a failure as a crash, so new and delete go through malloc
// and free here, in every form but the aligned ones.
extern "C" const char* __asan_default_options() {
  return "max_allocation_size_mb=256:allocator_may_return_null=1";
}

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace sornik::fuzzing {

std::vector<std::string_view> split_sections(const std::uint8_t* data, std::size_t size, std::size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> sections;
  while (sections.size() + 1 < count) {
    const std::size_t mark = rest.find(kSectionMark);
    if (mark == std::string_view::npos) break;
    sections.push_back(rest.substr(0, mark));
    rest.remove_prefix(mark + 1);
  }
  sections.push_back(rest);
  sections.resize(count);
  return sections;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string> RunSetup::args() const {
  std::vector<std::string> list;
  if (list_file_names) list.push_back("-l");
  if (format) {
    list.push_back("-f");
    list.push_back(*format);
  }
  for (const std::string& name : define_files) {
    list.push_back("-d");
    list.push_back(name);
  }
  list.insert(list.end(), source_files.begin(), source_files.end());
  return list;
}

RunOutcome check_run_properties(const RunSetup& setup) {
  const RunOutcome first = run_in_memory(setup.args(), setup.files);
  if (slow(first)) return first;
  // A run that ran out of memory (see __asan_default_options) may end
  // elsewhere than one with other buffers or another format.
  const auto require_same_unless_memory = [&first](std::string_view what, const RunOutcome& other) {
    if (!first.out_of_memory() && !other.out_of_memory()) require_same_outcome(what, first, other);
  };
  require_same_unless_memory("a second run in the same process", run_in_memory(setup.args(), setup.files));
  TextualOptions every_line_through_the_passes = fuzz_options();
  every_line_through_the_passes.stream_plain_lines = false;
  every_line_through_the_passes.expand_lines_directly = false;
  const RunOutcome every_line_passed =
      run_in_memory(setup.args(), setup.files, every_line_through_the_passes);
  require_same_unless_memory(
      "lines written from the input block or expanded directly against every line through the passes",
      every_line_passed);

  if (!setup.format) {
    RunSetup default_form = setup;
    default_form.format = "$n`$x'";
    require_same_unless_memory("the default rendering against -f '$n`$x''",
                               run_in_memory(default_form.args(), default_form.files));
  }

  RunSetup names_only = setup;
  names_only.format = "$n";
  const RunOutcome names = run_in_memory(names_only.args(), names_only.files);
  if (!first.out_of_memory() && !names.out_of_memory()) {
    require_equal("exit status under -f '$n'", std::to_string(first.status), std::to_string(names.status));
    require_equal("standard error under -f '$n'", first.err, names.err);
  }
  const std::string sources = concatenated_sources(setup);
  if (names.status == 0) {
    require_equal("-f '$n' writes the sources unchanged", sources, names.out);
  } else {
    require_equal("-f '$n' writes a part of the sources before a fatal stop",
                  sources.substr(0, names.out.size()), names.out);
  }
  return first;
}

bool is_costly_format(std::string_view format) {
  constexpr std::size_t kMostExpansions = 4;
  std::size_t count = 0;
  for (std::size_t at = format.find("$x"); at != std::string_view::npos; at = format.find("$x", at + 2))
    ++count;
  return count > kMostExpansions;
}

double template_growth_bound(std::string_view templ, std::size_t subject_size) {
  // Each match is at least one byte long and is replaced by the bytes of its
  // to-part, each "$" standing for at most the longest text so far (a match,
  // a capture or the whole text).
  double longest = static_cast<double>(subject_size);
  std::size_t pos = 0;
  while (pos < templ.size() && longest <= kMostBytes) {
    bool in_to_part = false;
    double bytes = 0;
    double sequences = 0;
    for (; pos < templ.size() && templ[pos] != ','; ++pos) {
      const char c = templ[pos];
      if (c == ':') {
        in_to_part = true;
        bytes = sequences = 0;
        continue;
      }
      if (in_to_part && c == '$') ++sequences;
      bytes += 2;
      if ((c == '\\' || is_lead_byte(c)) && pos + 1 < templ.size()) ++pos;
    }
    ++pos;
    if (in_to_part) longest += longest * (bytes + sequences * longest);
  }
  return longest;
}

void fail(std::string_view what, std::string_view expected, std::string_view actual) {
  std::fprintf(stderr,
               "\n*** property broken: %.*s\n--- expected (%zu bytes):\n%s\n--- actual (%zu bytes):\n%s\n",
               static_cast<int>(what.size()), what.data(), expected.size(), printable(expected).c_str(),
               actual.size(), printable(actual).c_str());
  std::abort();
}

void require_equal(std::string_view what, std::string_view expected, std::string_view actual) {
  if (expected != actual) fail(what, expected, actual);
}

CapturedErrors::CapturedErrors() : saved_(run_io().err) { run_io().err = stream_.stream(); }

CapturedErrors::~CapturedErrors() { run_io().err = saved_; }

}  // namespace sornik::fuzzing
