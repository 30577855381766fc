// The code lines of a source file as the C mode expands them and as the
// compiler's preprocessor gives them.
#include "code_lines.h"

#include <cctype>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "cmode/facts/facts_cache.h"
#include "cmode/facts/facts_source.h"
#include "cmode/lex/dialect.h"
#include "cmode/listing/expander.h"
#include "cmode/pp/file_chunk_reader.h"
#include "cmode/pp/include_search.h"
#include "cmode/pp/preprocessor.h"
#include "cmode_token_texts.h"
#include "common/run_io.h"
#include "render/renderer.h"

namespace sornik {

namespace {

// The compiler's facts, as a run of the program finds them: its include
// directories and its answers to feature tests; one for each language.
cmode::FactsSource& compiler_facts(bool cxx) {
  static std::map<bool, std::unique_ptr<cmode::FactsSource>> facts;
  std::unique_ptr<cmode::FactsSource>& source = facts[cxx];
  if (source == nullptr) {
    cmode::FactsRequest request;
    request.language = cxx ? cmode::SourceLanguage::cxx : cmode::SourceLanguage::c;
    source = std::make_unique<cmode::FactsSource>(request, cmode::cache_directory());
    std::string error;
    static_cast<void>(source->load(error));
  }
  return *source;
}

std::string read_stream(std::FILE* stream) {
  std::fflush(stream);
  std::rewind(stream);
  return read_rest(stream);
}

// Hands out a file's chunks with every directive and skipped line turned
// into a bare line end, so that the output holds the code lines alone.
class CodeOnly final : public cmode::ChunkSource {
 public:
  explicit CodeOnly(cmode::ChunkSource& source) : source_(source) {}
  bool next(cmode::SourceChunk& chunk) override {
    if (!source_.next(chunk)) return false;
    if (!chunk.is_text) {
      newlines_.assign(static_cast<std::size_t>(std::count(chunk.bytes.begin(), chunk.bytes.end(), '\n')),
                       '\n');
      chunk.bytes = newlines_;
    }
    return true;
  }

 private:
  cmode::ChunkSource& source_;
  std::string newlines_;
};

}  // namespace

std::string read_rest(std::FILE* stream) {
  std::string text;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, stream)) > 0;) text.append(buffer, got);
  return text;
}

const std::vector<std::string>& system_include_directories(bool cxx) {
  return compiler_facts(cxx).facts().system_dirs;
}

cmode::Dialect dialect_of(const CodeSetup& setup) {
  cmode::Dialect dialect =
      cmode::find_dialect(setup.standard, setup.cxx).value_or(*cmode::find_dialect("", setup.cxx));
  dialect.trigraphs = dialect.trigraphs || setup.trigraphs;
  dialect.comments_are_tokens = setup.keep_comments;
  return dialect;
}

std::string code_expansion(const CodeSetup& setup, const std::string& path) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const RunIo saved = run_io();
  run_io().out = out;
  run_io().err = err;
  {
    const cmode::Dialect dialect = dialect_of(setup);
    const cmode::ScopedLexingDialect scoped(dialect);
    cmode::IncludeSearch search;
    for (const std::string& dir : setup.include_dirs) search.add_directory(dir);
    for (const std::string& dir : system_include_directories(setup.cxx)) search.add_directory(dir);
    cmode::MacroTable table;
    cmode::Expander expander(table);
    cmode::Preprocessor preprocessor(table, search, expander);
    preprocessor.set_facts(&compiler_facts(setup.cxx));
    preprocessor.define_predefined(dialect);
    preprocessor.read_macros(setup.predefs);
    for (const std::string& setting : setup.settings) {
      if (setting.rfind("-U", 0) == 0) {
        preprocessor.undefine_option(setting.substr(2));
      } else {
        preprocessor.define_option(setting.substr(2));
      }
    }
    cmode::FileFrame frame;
    frame.path = path;
    frame.dir = cmode::IncludeSearch::directory_of(path);
    frame.is_source = true;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream != nullptr) {
      preprocessor.begin_unit();
      for (const std::string& file : setup.include_files) preprocessor.include_file(file);
      preprocessor.begin_file(frame);
      cmode::FileChunkReader chunks(stream, preprocessor, frame);
      CodeOnly code(chunks);
      Renderer expansions_only("$x");
      expander.expand_file(code, path, expansions_only);
      preprocessor.end_file(frame);
      preprocessor.end_unit();
      std::fclose(stream);
    }
  }
  out_flush();
  run_io() = saved;
  std::string text = read_stream(out);
  std::fclose(out);
  std::fclose(err);
  return text;
}

std::string compiler_main_file_code(const std::string& output, const std::string& path) {
  std::istringstream lines(output);
  std::string code;
  bool in_file = false;
  for (std::string line; std::getline(lines, line);) {
    // A line marker: "# 12 "file" flags"; one without flags, that a #line
    // of the file wrote, leaves the file as it is, and so does one that
    // names no file there is: the file's own line markers wrote it.
    if (line.rfind("# ", 0) == 0 && line.size() > 2 && std::isdigit(static_cast<unsigned char>(line[2]))) {
      const std::size_t open = line.find('"');
      const std::size_t close = line.rfind('"');
      const bool renamed =
          in_file && (close + 1 == line.size() ||
                      (close > open && !std::filesystem::exists(line.substr(open + 1, close - open - 1))));
      if (open != std::string::npos && close > open && !renamed)
        in_file = line.substr(open + 1, close - open - 1) == path;
      continue;
    }
    // The directives the compiler passes on; a code line may begin with a
    // `#` that a macro gave.
    const std::size_t first = line.find_first_not_of(" \t");
    const bool passed_on = first != std::string::npos &&
                           (line.compare(first, 7, "#pragma") == 0 || line.compare(first, 6, "#ident") == 0);
    if (in_file && !passed_on) code += line + "\n";
  }
  return code;
}

std::vector<std::string> tokens_of(const std::string& text) {
  std::string code;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line.compare(first, 7, "#pragma") != 0) code += line + "\n";
  }
  return token_texts(code);
}

std::string first_difference(const std::vector<std::string>& ours, const std::vector<std::string>& theirs,
                             const std::string& name) {
  std::size_t at = 0;
  while (at < ours.size() && at < theirs.size() && ours[at] == theirs[at]) ++at;
  std::string context = " at token " + std::to_string(at) + ":";
  for (std::size_t k = at; k < at + 8 && k < ours.size(); ++k) context += " " + ours[k];
  context += " | " + name + ":";
  for (std::size_t k = at; k < at + 8 && k < theirs.size(); ++k) context += " " + theirs[k];
  return context;
}

}  // namespace sornik
