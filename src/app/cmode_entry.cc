// The C mode's run: its options, its include chain and macros, and each source
// file read as a translation unit: expanded through the run's renderer, or
// listed for its macros.
#include "app/cmode_entry.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/cmode_options.h"
#include "app/compile_database.h"
#include "app/help_text.h"
#include "app/ordered_workers.h"
#include "app/run.h"
#include "app/source_units.h"
#include "cmode/condition/constant_reader.h"
#include "cmode/facts/facts_cache.h"
#include "cmode/facts/facts_source.h"
#include "cmode/lex/dialect.h"
#include "cmode/listing/expander.h"
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
  // The values of final texts, at the widths the predefined macros tell.
  std::optional<cmode::ConstantReader> values;
};

// The states of the last run of a process that ends with it: freeing their
// macros and headers one by one would cost a typical source about 2 % of
// its instructions, and the system takes the memory back at exit anyway.
// Held here, they stay reachable, which leak checkers accept.
std::vector<std::unique_ptr<CppState>>* volatile left_at_exit = nullptr;
std::mutex left_at_exit_mutex;

void leave_or_free(std::unique_ptr<CppState> state) {
  if (!run_ends_process || state == nullptr) return;
  const std::lock_guard lock(left_at_exit_mutex);
  if (left_at_exit == nullptr) left_at_exit = new std::vector<std::unique_ptr<CppState>>();
  left_at_exit->push_back(std::move(state));
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

bool is_cplusplus(const CppOptions& options) {
  return !options.sources.empty() && options.sources.front().language == CppOptions::Language::cxx;
}

// The dialect of the run: the -std= of the language of its first source,
// with trigraphs converted under -trigraphs and comments kept under -C.
cmode::Dialect run_dialect(const CppOptions& options) {
  const bool cplusplus = is_cplusplus(options);
  cmode::Dialect dialect =
      cmode::find_dialect(options.standard, cplusplus).value_or(*cmode::find_dialect("", cplusplus));
  dialect.trigraphs = dialect.trigraphs || options.trigraphs;
  dialect.comments_are_tokens = options.keep_comments;
  return dialect;
}

// The diagnostic rules of the run: the options' own, with the defaults that
// depend on the dialect.
DiagnosticRules run_rules(const CppOptions& options) {
  DiagnosticRules rules = options.diagnostics;
  cmode::default_trigraph_warnings(rules, run_dialect(options));
  return rules;
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
  state.table.definition_files().set_focus({options.no_system_macros, options.macros_from});
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
  preprocessor.show_headers(options.show_headers);
  // A build that found no compiler has no macros to fall back on: the
  // standard ones stand in for them.
  if (options.undef || state.facts.facts().macros.empty()) {
    preprocessor.define_predefined(run_dialect(options));
  } else {
    preprocessor.define_predefined(state.facts.facts().macros);
  }
  state.values.emplace(cmode::TargetWidths::of(state.table));
  state.expander.set_value_reader(&*state.values);
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
bool read_source(const SourceUnit& unit, CppState& state, Renderer& renderer) {
  const CppOptions& options = *unit.options;
  const std::string& name = unit.path;
  const bool from_stdin = name == "-";
  const std::string_view shown = unit.shown;
  check_search_directories(options);
  InputFile opened;
  if (!from_stdin) {
    opened = open_input(name);
    if (opened == nullptr) {
      report_cannot_open(unit.shown, errno);
      return false;
    }
  }
  std::FILE* const stream = from_stdin ? run_io().in : opened.get();
  if (options.list_file_names && renderer.page() == nullptr && !options.json) {
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
  frame.presumed_path = unit.presumed;
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

// Reads units one after another in one state while their options are the
// same object, and in a fresh one (or for its macros, one each) otherwise.
class UnitReader {
 public:
  explicit UnitReader(Renderer renderer) : renderer_(std::move(renderer)) {}
  UnitReader(const UnitReader&) = delete;
  UnitReader& operator=(const UnitReader&) = delete;
  ~UnitReader() { retire(); }

  Renderer& renderer() { return renderer_; }

  // Reads `units[index]`; its status. A state is made afresh where one
  // thread reading the units in order would make it (the first unit of a
  // run of equal options, every unit for its macros), with the messages of
  // its making; and also, silently, where this reader took a unit whose
  // state another reader made: the output is the same for every -j.
  int read(const std::vector<SourceUnit>& units, std::size_t index) {
    const SourceUnit& unit = units[index];
    const bool starts_state =
        index == 0 || unit.options != units[index - 1].options || unit.options->print_defines;
    set_diagnostic_rules(run_rules(*unit.options));
    int status = 0;
    if (starts_state || unit.options != options_) {
      CapturedOutput muted;
      CapturedOutput* const shown = starts_state ? nullptr : capture_output(&muted);
      const bool prepared = make_state(unit.options, status);
      if (!starts_state) {
        capture_output(shown);
        status = 0;
      }
      if (!prepared) return 1;
    }
    if (state_ == nullptr) return 1;
    // A database's entries may each have a standard of their own.
    cmode::set_lexing_dialect(run_dialect(*unit.options));
    // Later units of the same options read mostly the same headers.
    state_->preprocessor.keep_header_texts(index + 1 < units.size() &&
                                           units[index + 1].options == unit.options);
    if (!read_source(unit, *state_, renderer_)) status = 1;
    if (options_->print_defines) cmode::list_macros(state_->table, out_write);
    return status;
  }

 private:
  // A fresh state for `options`: none (and false) when it cannot be made,
  // so that the units it would read are not read.
  bool make_state(const std::shared_ptr<const CppOptions>& options, int& status) {
    retire();
    options_ = options;
    state_ = new_state(*options_);
    if (prepare(*state_, *options_, status)) return true;
    state_.reset();
    return false;
  }

  void retire() {
    if (state_ == nullptr) return;
    state_->facts.save();
    leave_or_free(std::move(state_));
  }

  Renderer renderer_;
  std::shared_ptr<const CppOptions> options_;
  std::unique_ptr<CppState> state_;
};

// Reads the units one after another, within the frame of the page for
// --html; the status.
int read_framed(const std::vector<SourceUnit>& units, UnitReader& reader) {
  HtmlPage* const page = reader.renderer().page();
  if (page != nullptr) {
    std::vector<std::string_view> titles;
    titles.reserve(units.size());
    for (const SourceUnit& unit : units) titles.emplace_back(unit.shown);
    out_write(page->begin(titles));
  }
  int status = 0;
  for (std::size_t index = 0; index < units.size(); ++index) {
    const SourceUnit& unit = units[index];
    if (page != nullptr) out_write(page->begin_source(unit.shown));
    status |= reader.read(units, index);
    if (page != nullptr) out_write(page->end_source());
  }
  if (page != nullptr) out_write(page->end());
  return status;
}

// Whether the listing is coloured: never in JSON or a page; with auto, when
// it goes to a terminal and NO_COLOR is unset or empty.
bool listing_in_colour(const CppOptions& options) {
  if (options.json || options.html || options.colour == CppOptions::Colour::never) return false;
  if (options.colour == CppOptions::Colour::always) return true;
  const char* no_colour = std::getenv("NO_COLOR");
  return (no_colour == nullptr || *no_colour == '\0') && options.output.empty() &&
         isatty(fileno(run_io().out)) != 0;
}

// Makes a renderer of the run's form: each thread renders with its own.
using RendererMaker = std::function<Renderer()>;

// The number of threads to convert `units` on.
unsigned job_count(const CppOptions& options, std::size_t units) {
  const unsigned asked = options.jobs != 0 ? options.jobs : std::max(1U, std::thread::hardware_concurrency());
  return static_cast<unsigned>(std::min<std::size_t>(asked, units));
}

// Converts the sources, or lists the macros each of them defines, and
// returns the exit status.
int run_sources(const CppOptions& options, const RendererMaker& make_renderer) {
  start_heap_on_huge_page();
  CompileDatabase database;
  std::string error;
  if (!options.database.empty() && !read_compile_database(options.database, database, error)) {
    report_program_error(error);
    return 1;
  }
  std::vector<SourceUnit> units;
  if (!plan_units(options, options.database.empty() ? nullptr : &database, units, error)) {
    report_program_error(error);
    return 1;
  }
  if (options.print_defines && options.sources.empty() && options.database.empty()) {
    // The compiler's and the command line's macros, with no source read.
    std::unique_ptr<CppState> state = new_state(options);
    int status = 0;
    if (prepare(*state, options, status)) cmode::list_macros(state->table, out_write);
    state->facts.save();
    leave_or_free(std::move(state));
    return status;
  }
  // A page frames its sources in one pass: it is written by one thread.
  const unsigned jobs = options.html ? 1 : job_count(options, units.size());
  if (jobs <= 1) {
    UnitReader reader(make_renderer());
    return read_framed(units, reader);
  }
  return run_in_order(units.size(), jobs, [&]() -> UnitWork {
    auto reader = std::make_shared<UnitReader>(make_renderer());
    return [reader, &units](std::size_t index) {
      return reader->read(units, index);
    };
  });
}

// Runs the sources with the output going to `path`; the status.
int run_to_file(const CppOptions& options, const RendererMaker& make_renderer) {
  std::FILE* const file = std::fopen(options.output.c_str(), "w");
  if (file == nullptr) {
    report_cannot_open(options.output, errno);
    return 1;
  }
  std::FILE* const standard_out = run_io().out;
  run_io().out = file;
  int status = 1;
  try {
    status = run_sources(options, make_renderer);
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
  set_diagnostic_rules(run_rules(options));
  if (options.json && (options.has_format || options.html)) {
    report_program_error(options.html ? "'--json' and '--html' cannot be used together"
                                      : "'--json' and '-f' cannot be used together");
    return 1;
  }
  const bool coloured = listing_in_colour(options);
  const RendererMaker make_renderer = [&options, coloured] {
    Renderer renderer = options.html         ? Renderer::html()
                        : options.json       ? Renderer::json()
                        : options.has_format ? Renderer(options.format)
                                             : Renderer();
    renderer.set_depth(options.depth);
    renderer.set_coloured(coloured);
    return renderer;
  };
  const int status =
      options.output.empty() ? run_sources(options, make_renderer) : run_to_file(options, make_renderer);
  return located_error_reported() ? 1 : status;
}

}  // namespace sornik
