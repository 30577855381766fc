// The C mode's run: its options, its macro table and headers, and each source
// file expanded as a translation unit through the run's renderer.
#include "app/cmode_entry.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/cmode_options.h"
#include "app/run.h"
#include "cmode/expand/expander.h"
#include "cmode/facts/facts_cache.h"
#include "cmode/facts/facts_source.h"
#include "cmode/pp/file_chunk_reader.h"
#include "cmode/pp/include_search.h"
#include "cmode/pp/macro_listing.h"
#include "cmode/pp/preprocessor.h"
#include "common/page_memory.h"
#include "common/run_io.h"
#include "render/renderer.h"

namespace sornik {

namespace {

// What a run reads and defines: the headers, the macros, and their readers.
struct CppState {
  explicit CppState(cmode::FactsRequest request) : facts(std::move(request), cmode::cache_directory()) {}
  cmode::FactsSource facts;
  cmode::IncludeSearch search;
  cmode::MacroTable table;
  cmode::Expander expander{table};
  cmode::Preprocessor preprocessor{table, search, expander};
};

// The state of the last run of a process that ends with it: freeing its
// macros and headers one by one would cost a typical source about 2 % of
// its instructions, and the system takes the memory back at exit anyway.
// Held here, it stays reachable, which leak checkers accept.
CppState* volatile left_at_exit = nullptr;

void leave_or_free(std::unique_ptr<CppState> state) {
  if (!run_ends_process) return;
  delete left_at_exit;  // only a process of several runs (the tests) has one
  left_at_exit = state.release();
}

void report_program_error(std::string_view text) {
  std::string message = "sornik: error: ";
  message.append(text);
  message += '\n';
  err_write(message);
}

// Converts one source file as a translation unit of its own; false when it
// cannot be read.
bool convert_source(const std::string& name, bool list_file_names, cmode::Preprocessor& preprocessor,
                    cmode::Expander& expander, Renderer& renderer) {
  const InputFile stream = open_input(name);
  if (stream == nullptr) {
    report_program_error(name + ": cannot open");
    return false;
  }
  if (list_file_names) {
    out_write("/* === ");
    out_write(name);
    out_write(" === */\n");
  }
  cmode::FileFrame frame;
  frame.path = name;
  frame.dir = cmode::IncludeSearch::directory_of(name);
  frame.is_source = true;
  preprocessor.begin_unit();
  preprocessor.begin_file(frame);
  cmode::FileChunkReader chunks(stream.get(), preprocessor, frame);
  expander.expand_file(chunks, name, renderer);
  preprocessor.end_file(frame);
  preprocessor.end_unit();
  check_read_error(stream.get(), name);
  return true;
}

// What the run asks of its compiler.
cmode::FactsRequest facts_request(const CppOptions& options) {
  cmode::FactsRequest request;
  request.compiler = options.compiler;
  // Without the system directories the compiler does not read the header
  // it includes before every source, and so defines less.
  if (options.no_system_dirs) request.flags.emplace_back("-nostdinc");
  return request;
}

}  // namespace

int run_cpp_mode(std::span<const std::string> args) {
  CppOptions options;
  std::string error;
  if (!parse_cpp_options(args, options, error)) {
    report_program_error(error);
    return 1;
  }
  Renderer renderer = options.has_format ? Renderer(options.format) : Renderer();

  start_heap_on_huge_page();
  // Not value-initialised: that would clear the whole state before its
  // members are made.
  std::unique_ptr<CppState> state(new CppState(facts_request(options)));
  // The compiler is asked only for what the run takes from it; a compiler
  // the command line names is asked at once, so that it fails here if at all.
  if (!options.undef || !options.no_system_dirs || !options.compiler.empty()) {
    if (!state->facts.load(error)) {
      report_program_error(error);
      return 1;
    }
  }
  for (const std::string& dir : options.include_dirs) state->search.add_directory(dir);
  if (!options.no_system_dirs) {
    for (const std::string& dir : state->facts.facts().system_dirs) state->search.add_directory(dir);
  }
  cmode::Preprocessor& preprocessor = state->preprocessor;
  preprocessor.set_facts(&state->facts);
  if (options.undef) {
    preprocessor.define_predefined();
  } else {
    preprocessor.define_predefined(state->facts.facts().macros);
  }

  int status = 0;
  for (const CppOptions::Setting& setting : options.settings) {
    switch (setting.kind) {
      case CppOptions::Setting::Kind::define: preprocessor.define_option(setting.value); break;
      case CppOptions::Setting::Kind::undefine: preprocessor.undefine_option(setting.value); break;
      case CppOptions::Setting::Kind::macros_of:
        if (!preprocessor.read_macros(setting.value)) {
          report_program_error(setting.value + ": cannot open");
          status = 1;
        }
        break;
    }
  }
  if (options.print_defines) {
    cmode::list_macros(state->table, out_write);
  } else {
    for (const std::string& source : options.sources) {
      if (!convert_source(source, options.list_file_names, preprocessor, state->expander, renderer))
        status = 1;
    }
  }
  state->facts.save();
  leave_or_free(std::move(state));
  return status;
}

}  // namespace sornik
