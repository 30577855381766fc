// The C mode's directives and #if over fuzzer-chosen headers: h.h, and g.h
// and sub/g.h that it may include (input sections in that order), listed
// with `--cpp -undef -nostdinc -I sub --print-defines -d h.h`. Checked: status 0,
// the same bytes on a second run, every listed line a "#define" line in
// name order (of the names' characters, which a line spells \UXXXXXXXX
// beyond ASCII), every message in the compiler's "file:line: warning|error:"
// form.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "cmode/lex/universal_names.h"
#include "fuzz_support.h"

namespace {

using sornik::fuzzing::fail;

// The name of a listed "#define NAME..." line, in UTF-8.
std::string listed_name(std::string_view line) {
  line.remove_prefix(8);
  std::string name;
  sornik::cmode::append_utf8_name(name, line.substr(0, line.find_first_of(" (")));
  return name;
}

void check_messages(std::string_view err) {
  for (const std::string_view line : sornik::fuzzing::split_lines(err)) {
    const std::size_t colon = line.find(": ");
    const bool located = colon != std::string_view::npos && (line.substr(colon).starts_with(": warning: ") ||
                                                             line.substr(colon).starts_with(": error: "));
    if (!located) fail("a message in the compiler's form", "file:line: warning|error: text", line);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sections = sornik::fuzzing::split_sections(data, size, 3);
  const std::map<std::string, std::string> files = {{"h.h", std::string(sections[0])},
                                                    {"g.h", std::string(sections[1])},
                                                    {"sub/g.h", std::string(sections[2])}};
  const std::vector<std::string> args = {"--cpp", "-undef",          "-nostdinc", "-I",
                                         "sub",   "--print-defines", "-d",        "h.h"};

  const sornik::fuzzing::RunOutcome first = sornik::fuzzing::run_in_memory(args, files);
  if (sornik::fuzzing::slow(first) || first.out_of_memory()) return 0;
  const sornik::fuzzing::RunOutcome again = sornik::fuzzing::run_in_memory(args, files);
  sornik::fuzzing::require_equal("a second run", first.out, again.out);
  sornik::fuzzing::require_equal("the messages of a second run", first.err, again.err);
  // With every file there, only an error the run reports (#error, a header
  // not found, a bad directive) makes its status 1.
  const int expected_status = first.err.find(" error: ") != std::string::npos ? 1 : 0;
  if (first.status != expected_status)
    fail("the status of a run whose files are all there", std::to_string(expected_status),
         std::to_string(first.status));

  std::string previous;
  for (const std::string_view line : sornik::fuzzing::split_lines(first.out)) {
    if (!line.starts_with("#define ")) fail("a listed line is a #define line", "#define ...", line);
    std::string name = listed_name(line);
    if (!previous.empty() && !(previous < name)) fail("names are listed in order", previous, name);
    previous = std::move(name);
  }
  check_messages(first.err);
  return 0;
}
