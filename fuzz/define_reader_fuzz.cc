// The definition-file reader with value resolution: one or two fuzzer-chosen
// definition files (input: file a, optionally a section mark and file b),
// loaded, sorted and resolved by a whole run without source files. A fatal
// stop is a normal outcome. Checked: the run writes nothing to standard
// output, ends with a known message and repeats exactly; after a good run,
// its phases make a sorted table of well-formed records that lookups find.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "textual/defines/define_reader.h"
#include "textual/defines/define_table.h"
#include "textual/defines/value_resolution.h"
#include "textual/scan/line_buffers.h"
#include "textual/scan/source_scanner.h"

namespace {

using sornik::fuzzing::fail;
using sornik::fuzzing::require_equal;

constexpr std::string_view kNoDefine = "no filename of \"define\" statements or \"define\" data\n";
constexpr std::string_view kNoEndLoop = "no end loop\n";
constexpr std::string_view kTooLong = "\nError: too long line found\n";

bool is_name_end(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '('; }

bool any_line_starts_with_hash(std::string_view file) {
  for (const std::string_view line : sornik::fuzzing::split_lines(file)) {
    if (!line.empty() && line.front() == '#') return true;
  }
  return false;
}

void check_status_one(const sornik::fuzzing::RunOutcome& outcome) {
  if (outcome.out_of_memory()) return;
  for (const std::string_view end : {kNoDefine, std::string_view(": dupricated name!\n"), kTooLong}) {
    if (outcome.err.ends_with(end)) return;
  }
  fail("a failed load ends with a known message", "a known message", outcome.err);
}

// Loads, sorts and resolves the definition files of `setup` into `table`
// through the phases of a run.
void load_as_a_run(const sornik::fuzzing::RunSetup& setup, sornik::DefineTable& table) {
  sornik::testing::CapturedIo io;
  io.files = setup.files;
  sornik::SourceScanner scanner;
  sornik::LineBuffers buffers;
  for (const std::string& name : setup.define_files) sornik::set_chgdata(scanner, table, name);
  table.sort_defines();
  sornik::set_value(table, buffers);
}

// The table that the phases of a run that ended with status 0 load.
void check_table(const sornik::fuzzing::RunSetup& setup, const sornik::fuzzing::RunOutcome& outcome) {
  if (outcome.err != "" && outcome.err != kNoEndLoop) fail("messages of a good load", "", outcome.err);
  sornik::DefineTable table;
  load_as_a_run(setup, table);
  if (table.def_cnt() < 1) fail("a good load has a define", "at least 1", std::to_string(table.def_cnt()));
  for (int i = 0; i < table.def_cnt(); ++i) {
    const sornik::DefineEntry& entry = table.chg_tbl(i);
    const std::string_view name = table.name(entry);
    for (const char c : name) {
      if (is_name_end(c)) fail("a name holds no blank and no \"(\"", "", name);
    }
    if (i > 0 && table.name(table.chg_tbl(i - 1)) >= name) {
      fail("names are sorted and unique", std::string(table.name(table.chg_tbl(i - 1))), name);
    }
    require_equal("def_check finds every name", std::to_string(i), std::to_string(table.def_check(name)));
    const std::optional<std::string_view> params = table.params(entry);
    if (params && params->find('\n') != std::string_view::npos) {
      fail("a parameter list closes on its line", "", *params);
    }
    const bool finished = entry.resolve_cnt() == -1 || entry.resolve_cnt() == 3;
    if (!finished && outcome.err != kNoEndLoop) {
      fail("resolution finishes every record", "-1 or 3", std::to_string(entry.resolve_cnt()));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sections = sornik::fuzzing::split_sections(data, size, 2);
  const bool two_files = sections[0].size() < size;
  sornik::fuzzing::RunSetup setup;
  setup.files = {{"a", std::string(sections[0])}, {"b", std::string(sections[1])}};
  setup.define_files = {"a"};
  if (two_files) setup.define_files.push_back("b");

  const auto outcome = sornik::fuzzing::run_in_memory(setup.args(), setup.files);
  require_equal("definition files write nothing to standard output", "", outcome.out);
  if (!any_line_starts_with_hash(sections[0]) && !(two_files && any_line_starts_with_hash(sections[1]))) {
    // Such files still end the run on an overlong line.
    if (!outcome.err.ends_with(kTooLong)) {
      require_equal("files without statements load nothing", std::string(kNoDefine), outcome.err);
    }
  }
  if (outcome.status == 0) {
    check_table(setup, outcome);
  } else {
    check_status_one(outcome);
  }

  if (sornik::fuzzing::slow(outcome)) return 0;
  const auto again = sornik::fuzzing::run_in_memory(setup.args(), setup.files);
  require_equal("a second run: exit status", std::to_string(outcome.status), std::to_string(again.status));
  require_equal("a second run: standard error", outcome.err, again.err);
  return 0;
}
