// Checks C-mode expansion on real files against the C compiler's
// preprocessor. For each file, used as a source with the compiler's include
// directories and the predefined macros of `predefs`:
//   1. -f '$n' gives back the file byte for byte;
//   2. -f '$x' gives, for the file's code lines, the tokens that
//      `gcc -E -undef -nostdinc -I<same> -imacros <predefs>` gives for the
//      file's own lines (directive lines and skipped groups absent on both sides);
//   3. every group's name text begins with a name.
// With --cxx the files are C++ and g++ is the oracle; -I and -D options
// before <predefs> apply to both sides.
// Usage: cmode_real_code_check [--cxx] [-Idir] [-Dname[=value]] <predefs> <file>...
//   (see scripts/cmode-real-code.sh)
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/run.h"
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

namespace {

using namespace sornik;

std::string read_rest(std::FILE* stream) {
  std::string text;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, stream)) > 0;) text.append(buffer, got);
  return text;
}

// The language of the files and the project's own -I and -D options.
struct Project {
  bool cxx = false;
  std::vector<std::string> include_dirs;
  std::vector<std::string> defines;
};
Project project;

// The compiler's facts, as a run of the program finds them: its include
// directories and its answers to feature tests.
cmode::FactsSource& compiler_facts() {
  static cmode::FactsSource facts = [] {
    cmode::FactsRequest request;
    request.language = project.cxx ? cmode::SourceLanguage::cxx : cmode::SourceLanguage::c;
    return cmode::FactsSource(request, cmode::cache_directory());
  }();
  static const bool loaded = [] {
    std::string error;
    return facts.load(error);
  }();
  static_cast<void>(loaded);
  return facts;
}

const std::vector<std::string>& system_include_directories() { return compiler_facts().facts().system_dirs; }

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

// The -f '$x' output of the file's code lines.
std::string code_expansion(const std::string& predefs, const std::string& path) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const RunIo saved = run_io();
  run_io().out = out;
  run_io().err = err;
  {
    const cmode::ScopedLexingDialect dialect(*cmode::find_dialect("", project.cxx));
    cmode::IncludeSearch search;
    for (const std::string& dir : project.include_dirs) search.add_directory(dir);
    for (const std::string& dir : system_include_directories()) search.add_directory(dir);
    cmode::MacroTable table;
    cmode::Expander expander(table);
    cmode::Preprocessor preprocessor(table, search, expander);
    preprocessor.set_facts(&compiler_facts());
    preprocessor.define_predefined(*cmode::find_dialect("", project.cxx));
    preprocessor.read_macros(predefs);
    for (const std::string& define : project.defines) preprocessor.define_option(define);
    const std::string dir(cmode::IncludeSearch::directory_of(path));
    cmode::FileFrame frame;
    frame.path = path;
    frame.dir = dir;
    frame.is_source = true;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    preprocessor.begin_unit();
    preprocessor.begin_file(frame);
    cmode::FileChunkReader chunks(stream, preprocessor, frame);
    CodeOnly code(chunks);
    Renderer expansions_only("$x");
    expander.expand_file(code, path, expansions_only);
    preprocessor.end_file(frame);
    preprocessor.end_unit();
    std::fclose(stream);
  }
  out_flush();
  run_io() = saved;
  std::string text = read_stream(out);
  std::fclose(out);
  std::fclose(err);
  return text;
}

// A whole run of the program with `args`, its output.
std::string run_output(const std::vector<std::string>& args) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const RunIo saved = run_io();
  run_io().out = out;
  run_io().err = err;
  run_sornik(args);
  run_io() = saved;
  std::string text = read_stream(out);
  std::fclose(out);
  std::fclose(err);
  return text;
}

std::string path_for_errors() { return "/tmp/cmode_real_code_check." + std::to_string(getpid()) + ".err"; }

// The lines of the compiler's output that come from `path` itself, without
// its directive lines (#pragma and the line markers). `compiled` tells
// whether the compiler got through the file (a missing header stops it).
std::string compiler_code(const std::string& predefs, const std::string& path, bool& compiled) {
  std::string command = project.cxx ? "g++ -E -undef -nostdinc" : "gcc -E -undef -nostdinc";
  for (const std::string& dir : project.include_dirs) command += " -I'" + dir + "'";
  for (const std::string& dir : system_include_directories()) command += " -I'" + dir + "'";
  for (const std::string& define : project.defines) command += " '-D" + define + "'";
  const std::string errors = path_for_errors();
  command += " -imacros '" + predefs + "' -x c '" + path + "' 2>'" + errors + "'";
  std::FILE* pipe = popen(command.c_str(), "r");
  std::istringstream lines(read_rest(pipe));
  pclose(pipe);
  // #error lets the compiler go on; a missing header stops it.
  std::ifstream messages(errors);
  const std::string said((std::istreambuf_iterator<char>(messages)), std::istreambuf_iterator<char>());
  compiled = said.find("fatal error") == std::string::npos;
  std::string code;
  bool in_file = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("# ", 0) == 0) {
      const std::size_t open = line.find('"');
      const std::size_t close = line.rfind('"');
      if (open != std::string::npos && close > open)
        in_file = line.substr(open + 1, close - open - 1) == path;
      continue;
    }
    const std::size_t first = line.find_first_not_of(" \t");
    if (in_file && !(first != std::string::npos && line[first] == '#')) code += line + "\n";
  }
  return code;
}

// The tokens of the text without its #pragma lines (what _Pragma writes). A
// line of a comment may begin with `#` too, so only #pragma lines go.
std::vector<std::string> tokens_of(const std::string& text) {
  std::string code;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line.compare(first, 7, "#pragma") != 0) code += line + "\n";
  }
  return token_texts(code);
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  std::vector<std::string> options;
  for (; first < argc; ++first) {
    const std::string arg = argv[first];
    if (arg == "--cxx") {
      project.cxx = true;
    } else if (arg.rfind("-I", 0) == 0) {
      project.include_dirs.push_back(arg.substr(2));
    } else if (arg.rfind("-D", 0) == 0) {
      project.defines.push_back(arg.substr(2));
    } else {
      break;
    }
    if (arg != "--cxx") options.push_back(arg);
  }
  if (argc - first < 2) {
    std::cerr << "usage: cmode_real_code_check [--cxx] [-Idir] [-Dname[=value]] <predefs> <file>...\n";
    return 2;
  }
  const std::string predefs = argv[first++];
  // The tokens of both outputs are read in the files' language.
  cmode::set_lexing_dialect(*cmode::find_dialect("", project.cxx));
  int checked = 0;
  int differ = 0;
  int not_compared = 0;  // the compiler stopped (a header missing on this machine)
  for (int i = first; i < argc; ++i) {
    const std::string path = argv[i];
    std::ifstream in(path, std::ios::binary);
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ++checked;
    std::vector<std::string> problems;
    const auto run_args = [&](const char* format) {
      std::vector<std::string> args = {"--cpp", "-d", predefs, "-f", format};
      args.insert(args.end(), options.begin(), options.end());
      args.push_back(path);
      return args;
    };
    if (run_output(run_args("$n")) != source) problems.push_back("-f '$n' is not the file");
    const std::string grouped = run_output(run_args("\x05$n\x06$x\x07"));
    for (std::size_t pos = grouped.find('\x05'); pos != std::string::npos;
         pos = grouped.find('\x05', pos + 1)) {
      const char c = pos + 1 < grouped.size() ? grouped[pos + 1] : ' ';
      if (!(c == '_' || std::isalpha(static_cast<unsigned char>(c)))) {
        problems.push_back("a group whose name text begins with no name");
        break;
      }
    }
    bool compiled = false;
    const std::vector<std::string> theirs = tokens_of(compiler_code(predefs, path, compiled));
    const std::vector<std::string> ours = tokens_of(code_expansion(predefs, path));
    if (!compiled) {
      ++not_compared;
    } else if (ours != theirs) {
      std::size_t at = 0;
      while (at < ours.size() && at < theirs.size() && ours[at] == theirs[at]) ++at;
      std::string context = " at token " + std::to_string(at) + ":";
      for (std::size_t k = at; k < at + 8 && k < ours.size(); ++k) context += " " + ours[k];
      context += " | gcc:";
      for (std::size_t k = at; k < at + 8 && k < theirs.size(); ++k) context += " " + theirs[k];
      problems.push_back(std::string("-f '$x' differs from ") + (project.cxx ? "g++" : "gcc") + " -E" +
                         context);
    }
    if (!problems.empty()) {
      ++differ;
      for (const std::string& problem : problems) std::cout << path << ": " << problem << "\n";
    }
  }
  std::cout << checked << " files checked, " << differ << " differ, " << not_compared
            << " stopped the compiler (tokens not compared)\n";
  return differ == 0 ? 0 : 1;
}
