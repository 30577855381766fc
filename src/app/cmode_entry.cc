// The C mode's run: its options, its include chain and macros, and each source
// file read as a translation unit: expanded through the run's renderer, or
// listed for its macros.
#include "app/cmode_entry.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/cmode_options.h"
#include "app/help_text.h"
#include "app/run.h"
#include "cmode/expand/expander.h"
#include "cmode/facts/facts_cache.h"
#include "cmode/facts/facts_source.h"
#include "cmode/lex/dialect.h"
#include "cmode/pp/file_chunk_reader.h"
#include "cmode/pp/include_search.h"
#include "cmode/pp/macro_listing.h"
#include "cmode/pp/preprocessor.h"
#include "common/located_diagnostics.h"
#include "common/page_memory.h"
#include "common/run_io.h"
#include "render/page/html_page.h"
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

void report_cannot_open(const std::string& name, int error) {
  report_program_error(name + ": cannot open: " + std::strerror(error));
}

// The name standard input goes by, as the C compiler names it.
constexpr std::string_view kStdinName = "<stdin>";

bool is_cplusplus(const CppOptions& options) {
  return !options.sources.empty() && options.sources.front().language == CppOptions::Language::cxx;
}

// The dialect of the run: the -std= of the language of its first source.
cmode::Dialect run_dialect(const CppOptions& options) {
  const bool cplusplus = is_cplusplus(options);
  const std::string_view standard = options.standard;
  if (const std::optional<cmode::Dialect> dialect = cmode::find_dialect(standard, cplusplus)) return *dialect;
  return *cmode::find_dialect("", cplusplus);
}

// What the run asks of its compiler: its facts for the run's language and
// dialect, under the flags that change what it predefines.
cmode::FactsRequest facts_request(const CppOptions& options) {
  cmode::FactsRequest request;
  request.compiler = options.compiler;
  const bool cplusplus = is_cplusplus(options);
  request.language = cplusplus ? cmode::SourceLanguage::cxx : cmode::SourceLanguage::c;
  if (options.standard == "ansi") {
    request.flags.emplace_back("-ansi");
  } else if (cmode::find_dialect(options.standard, cplusplus)) {
    request.standard = options.standard;
  }
  request.flags.insert(request.flags.end(), options.compiler_flags.begin(), options.compiler_flags.end());
  // Without the system directories the compiler does not read the header
  // it includes before every source, and so defines less.
  if (options.no_system_dirs) request.flags.emplace_back("-nostdinc");
  return request;
}

// Builds the include chain, the predefined macros and those of the command
// line: what every source starts from. False when the named compiler gives
// no facts (the run ends) or an -imacros file cannot be read.
bool prepare(CppState& state, const CppOptions& options, int& status) {
  // The compiler is asked only for what the run takes from it; a compiler
  // the command line names is asked at once, so that it fails here if at all.
  if (!options.undef || !options.no_system_dirs || !options.compiler.empty()) {
    std::string error;
    if (!state.facts.load(error)) {
      report_program_error(error);
      status = 1;
      return false;
    }
  }
  using Kind = cmode::SearchDirKind;
  for (const std::string& dir : options.quote_dirs) state.search.add_directory(dir, Kind::quote);
  for (const std::string& dir : state.facts.facts().quote_dirs) state.search.add_directory(dir, Kind::quote);
  for (const std::string& dir : options.include_dirs) state.search.add_directory(dir, Kind::bracket);
  for (const std::string& dir : options.system_dirs) state.search.add_directory(dir, Kind::system);
  if (!options.no_system_dirs) {
    for (const std::string& dir : state.facts.facts().system_dirs)
      state.search.add_directory(dir, Kind::system);
  }
  for (const std::string& dir : options.after_dirs) state.search.add_directory(dir, Kind::system);

  cmode::Preprocessor& preprocessor = state.preprocessor;
  preprocessor.set_facts(&state.facts);
  // A build that found no compiler has no macros to fall back on: the
  // standard ones stand in for them.
  if (options.undef || state.facts.facts().macros.empty()) {
    preprocessor.define_predefined(run_dialect(options));
  } else {
    preprocessor.define_predefined(state.facts.facts().macros);
  }
  for (const CppOptions::Setting& setting : options.settings) {
    if (setting.kind == CppOptions::Setting::Kind::define) {
      preprocessor.define_option(setting.value);
    } else {
      preprocessor.undefine_option(setting.value);
    }
  }
  for (const std::string& file : options.macro_files) {
    if (const int error = preprocessor.read_macros(file)) {
      report_cannot_open(file, error);
      status = 1;
    }
  }
  return true;
}

// Reads one source (standard input for "-") as a translation unit of its
// own, after the -include files: converted, or for its macros alone with
// --print-defines. False when it or an -include file cannot be read.
bool read_source(const std::string& name, const CppOptions& options, CppState& state, Renderer& renderer) {
  const bool from_stdin = name == "-";
  const std::string_view shown = from_stdin ? kStdinName : std::string_view(name);
  InputFile opened;
  if (!from_stdin) {
    opened = open_input(name);
    if (opened == nullptr) {
      report_cannot_open(name, errno);
      return false;
    }
  }
  std::FILE* const stream = from_stdin ? run_io().in : opened.get();
  if (options.list_file_names && renderer.page() == nullptr) {
    out_write("/* === ");
    out_write(shown);
    out_write(" === */\n");
  }
  cmode::Preprocessor& preprocessor = state.preprocessor;
  preprocessor.begin_unit();
  bool read_all = true;
  for (const std::string& file : options.include_files) {
    if (const int error = preprocessor.include_file(file)) {
      report_cannot_open(file, error);
      read_all = false;
    }
  }
  cmode::FileFrame frame;
  frame.path = shown;
  frame.dir = from_stdin ? std::string_view() : cmode::IncludeSearch::directory_of(name);
  frame.is_source = true;
  preprocessor.begin_file(frame);
  cmode::FileChunkReader chunks(stream, preprocessor, frame);
  if (options.print_defines) {
    for (cmode::SourceChunk chunk; chunks.next(chunk);) {
    }
  } else {
    state.expander.expand_file(chunks, shown, renderer);
  }
  preprocessor.end_file(frame);
  preprocessor.end_unit();
  check_read_error(stream, std::string(shown));
  return read_all;
}

std::unique_ptr<CppState> new_state(const CppOptions& options) {
  // Not value-initialised: that would clear the whole state before its
  // members are made.
  return std::unique_ptr<CppState>(new CppState(facts_request(options)));
}

// Converts each source (standard input when none is named), within the
// frame of the page for --html.
void convert_sources(const CppOptions& options, CppState& state, Renderer& renderer, int& status) {
  std::vector<std::string> names;
  for (const CppOptions::Source& source : options.sources) names.push_back(source.name);
  if (names.empty()) names.emplace_back("-");
  const auto shown = [](const std::string& name) {
    return name == "-" ? kStdinName : std::string_view(name);
  };
  HtmlPage* const page = renderer.page();
  if (page != nullptr) {
    std::vector<std::string_view> titles;
    titles.reserve(names.size());
    for (const std::string& name : names) titles.push_back(shown(name));
    out_write(page->begin(titles));
  }
  for (const std::string& name : names) {
    if (page != nullptr) out_write(page->begin_source(shown(name)));
    if (!read_source(name, options, state, renderer)) status = 1;
    if (page != nullptr) out_write(page->end_source());
  }
  if (page != nullptr) out_write(page->end());
}

// Converts the sources, or lists the macros each of them defines, and
// returns the exit status.
int run_sources(const CppOptions& options, Renderer& renderer) {
  start_heap_on_huge_page();
  std::unique_ptr<CppState> state = new_state(options);
  int status = 0;
  if (!prepare(*state, options, status)) return status;
  if (options.print_defines) {
    // The listing takes the macros out of the table: each source has a
    // state of its own.
    for (std::size_t i = 0; i < options.sources.size(); ++i) {
      if (i > 0) {
        state->facts.save();
        state = new_state(options);
        prepare(*state, options, status);
      }
      if (!read_source(options.sources[i].name, options, *state, renderer)) status = 1;
      cmode::list_macros(state->table, out_write);
    }
    if (options.sources.empty()) cmode::list_macros(state->table, out_write);
  } else {
    convert_sources(options, *state, renderer, status);
  }
  state->facts.save();
  leave_or_free(std::move(state));
  return status;
}

// Runs the sources with the output going to `path`; the status.
int run_to_file(const CppOptions& options, Renderer& renderer) {
  std::FILE* const file = std::fopen(options.output.c_str(), "w");
  if (file == nullptr) {
    report_cannot_open(options.output, errno);
    return 1;
  }
  std::FILE* const standard_out = run_io().out;
  run_io().out = file;
  int status = 1;
  try {
    status = run_sources(options, renderer);
    out_flush();
  } catch (...) {
    run_io().out = standard_out;
    std::fclose(file);
    throw;
  }
  run_io().out = standard_out;
  if (std::fclose(file) != 0) {
    report_program_error(options.output + ": write error: " + std::strerror(errno));
    status = 1;
  }
  return status;
}

}  // namespace

int run_cpp_mode(std::span<const std::string> args) {
  CppOptions options;
  std::string error;
  reset_located_errors();
  if (!parse_cpp_options(args, options, error)) {
    report_program_error(error);
    return 1;
  }
  if (options.help) {
    out_write(kHelpText);
    return 0;
  }
  if (!cmode::find_dialect(options.standard, is_cplusplus(options))) {
    // As the compiler does, a -std= of the other language is ignored.
    const bool cplusplus = is_cplusplus(options);
    err_write("sornik: warning: '-std=" + options.standard + "' is valid for " + (cplusplus ? "C" : "C++") +
              " but not for " + (cplusplus ? "C++" : "C") + "\n");
  }
  cmode::set_lexing_dialect(run_dialect(options));
  Renderer renderer = options.html         ? Renderer::html()
                      : options.has_format ? Renderer(options.format)
                                           : Renderer();
  const int status = options.output.empty() ? run_sources(options, renderer) : run_to_file(options, renderer);
  return located_error_reported() ? 1 : status;
}

}  // namespace sornik
