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
#include "cmode/lex/dialect.h"
#include "code_lines.h"
#include "common/run_io.h"

namespace {

using namespace sornik;

// The language of the files and the project's own -I and -D options.
CodeSetup project;

std::string read_stream(std::FILE* stream) {
  std::fflush(stream);
  std::rewind(stream);
  return read_rest(stream);
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

// The code lines of the compiler's output for `path`. `compiled` tells
// whether the compiler got through the file (a missing header stops it).
std::string compiler_code(const std::string& path, bool& compiled) {
  std::string command = project.cxx ? "g++ -E -undef -nostdinc" : "gcc -E -undef -nostdinc";
  for (const std::string& dir : project.include_dirs) command += " -I'" + dir + "'";
  for (const std::string& dir : system_include_directories(project.cxx)) command += " -I'" + dir + "'";
  for (const std::string& setting : project.settings) command += " '" + setting + "'";
  const std::string errors = path_for_errors();
  command += " -imacros '" + project.predefs + "' -x c '" + path + "' 2>'" + errors + "'";
  std::FILE* pipe = popen(command.c_str(), "r");
  const std::string output = read_rest(pipe);
  pclose(pipe);
  // #error lets the compiler go on; a missing header stops it.
  std::ifstream messages(errors);
  const std::string said((std::istreambuf_iterator<char>(messages)), std::istreambuf_iterator<char>());
  compiled = said.find("fatal error") == std::string::npos;
  return compiler_main_file_code(output, path);
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
      project.settings.push_back(arg);
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
  project.predefs = predefs;
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
    const std::vector<std::string> theirs = tokens_of(compiler_code(path, compiled));
    const std::vector<std::string> ours = tokens_of(code_expansion(project, path));
    if (!compiled) {
      ++not_compared;
    } else if (ours != theirs) {
      const std::string compiler = project.cxx ? "g++" : "gcc";
      problems.push_back("-f '$x' differs from " + compiler + " -E" +
                         first_difference(ours, theirs, compiler));
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
