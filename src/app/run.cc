// A run of the program: its argument phases (options, definition files,
// source files) for the default mode, or the hand-over to the C mode.
#include "app/run.h"

#include <new>
#include <optional>

#include "app/cmode_entry.h"
#include "app/help_text.h"
#include "app/usage_text.h"
#include "common/diagnostics.h"
#include "common/fatal.h"
#include "common/run_io.h"
#include "render/renderer.h"
#include "textual/defines/define_reader.h"
#include "textual/defines/define_table.h"
#include "textual/defines/value_resolution.h"
#include "textual/files/source_files.h"

namespace sornik {

namespace {

// What both modes use.
void reset_run_state() {
  out_discard();
  reset_read_errors();
}

// The three argument phases: options, definition files, source files.
// Returns the exit status.
int run_phases(const std::vector<std::string>& args, const TextualOptions& options) {
  if (!args.empty() && args[0] == "--cpp") return run_cpp_mode(std::span(args).subspan(1));
  if (args.size() == 1 && args[0] == "-usage") {
    for (std::string_view line : usage_tbl) {
      out_write(line);
      out_write("\n");
    }
    return 1;
  }
  if (args.empty()) {
    err_write(usage_tbl[kUsageLine]);
    err_write("\n");
    return 1;
  }
  // Leading arguments that no specified run begins with (such a run ends
  // with the no-define message).
  if (args[0] == "--help") {
    out_write(kHelpText);
    return 0;
  }
  if (args[0] == "--version") {
    out_write(kVersionText);
    return 0;
  }

  std::size_t next = 0;
  bool list_file_names = false;
  std::optional<std::string_view> format;
  for (; next < args.size(); ++next) {
    if (args[next] == "-l") {
      list_file_names = true;
    } else if (args[next] == "-f") {
      if (next + 1 == args.size()) {
        errmsg("<format> missing\n");
        return 1;
      }
      format = args[++next];
    } else {
      break;
    }
  }

  TextualRun run(options, format);
  for (; next < args.size() && args[next] == "-d"; next += 2) {
    if (next + 1 == args.size()) {
      errmsg("filename of \"define\" statements missing\n");
      return 1;
    }
    if (set_chgdata(run.scanner, run.defines, args[next + 1]) == -1) return 1;
  }

  if (run.defines.def_cnt() == 0) {
    errmsg("no filename of \"define\" statements or \"define\" data\n");
    return 1;
  }
  run.defines.sort_defines();
  set_value(run.defines, run.buffers);

  for (; next < args.size(); ++next) convert_source_file(run, args[next], list_file_names);
  return 0;
}

}  // namespace

bool run_ends_process = false;

int run_sornik(const std::vector<std::string>& args, const TextualOptions& options) {
  reset_run_state();
  int status = 1;
  try {
    status = run_phases(args, options);
    if (read_failed()) status = 1;
  } catch (const FatalStop&) {
    status = 1;
  } catch (const std::bad_alloc&) {
    errmsg("cannot get memory\n");
    status = 1;
  }
  try {
    out_flush();
  } catch (const FatalStop&) {
    status = 1;
  }
  return status;
}

}  // namespace sornik
