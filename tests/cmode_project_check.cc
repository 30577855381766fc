// Checks the C mode on a project through its compile database, as a user
// runs it: `sornik --cpp -p DIR FILE` against the entry's own compile
// command with -E. For each entry (or each FILE named):
//   1. -f '$n' gives back the file byte for byte;
//   2. the tokens of the listing's active code lines (neither directives nor
//      in skipped groups) are the tokens the compiler gives for the file's
//      own lines;
//   3. the run does not crash (a signal or a status other than 0 and 1).
// The compiler's active lines come from its -fdirectives-only output, which
// keeps the lines of the groups taken and drops directives and the rest.
// Usage: cmode_project_check DIR [file...]   (see scripts/cmode-project-check.sh)
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "app/compile_database.h"
#include "app/run.h"
#include "cmode/lex/dialect.h"
#include "code_lines.h"
#include "common/run_io.h"

namespace {

using namespace sornik;

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct RunResult {
  std::string out;
  int status = 0;
};

// A whole run of the program with `args`.
RunResult run_program(const std::vector<std::string>& args) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const RunIo saved = run_io();
  run_io().out = out;
  run_io().err = err;
  RunResult result;
  result.status = run_sornik(args);
  run_io() = saved;
  std::fflush(out);
  std::rewind(out);
  result.out = read_rest(out);
  std::fclose(out);
  std::fclose(err);
  return result;
}

std::string shell_quoted(const std::string& word) {
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The entry's command as a preprocessing command: -c, -o FILE and the
// dependency options dropped, `extra` added; run in the entry's folder.
// -fdirectives-only refuses some warnings (-Wunused-macros): its run goes
// without them.
std::string preprocessing_command(const CompileEntry& entry, const std::string& extra) {
  const bool directives_only = extra == "-fdirectives-only";
  std::string command = "cd " + shell_quoted(entry.directory) + " && " + shell_quoted(entry.arguments[0]);
  for (std::size_t i = 1; i < entry.arguments.size(); ++i) {
    const std::string& word = entry.arguments[i];
    if (word == "-o" || word == "-MF" || word == "-MT" || word == "-MQ") {
      ++i;
      continue;
    }
    if (word == "-c" || word.rfind("-o", 0) == 0 || word.rfind("-M", 0) == 0) continue;
    if (directives_only && word.rfind("-W", 0) == 0) continue;
    command += " " + shell_quoted(word);
  }
  return command + " -E " + extra + " 2>/dev/null";
}

// The lines of a compiler's -E output that come from `path`, by line number
// (1-based); `seen` says whether any line marker named it.
std::vector<std::string> lines_of_file(const std::string& output, const std::string& directory,
                                       const std::string& path, bool& seen) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  bool in_file = false;
  std::size_t line_number = 0;
  seen = false;
  for (std::string line; std::getline(in, line);) {
    // -fdirectives-only indents a marker as the directive it stands for was.
    const std::size_t indent = std::min(line.find_first_not_of(" \t"), line.size());
    if (line.compare(indent, 2, "# ") == 0 && line.size() > indent + 2 &&
        std::isdigit(static_cast<unsigned char>(line[indent + 2])) != 0) {
      const std::size_t open = line.find('"');
      const std::size_t close = line.rfind('"');
      if (open != std::string::npos && close > open) {
        in_file = resolve_path(directory, line.substr(open + 1, close - open - 1)) == path;
        seen = seen || in_file;
      }
      line_number = std::stoul(line.substr(indent + 2)) - 1;
      continue;
    }
    ++line_number;
    // _Pragma's #pragma line stands between the lines of the code around it.
    if (!in_file || line.starts_with("#pragma")) continue;
    // A line marker may split one source line (around a system header's
    // macro): what follows it at the same number continues that line.
    if (lines.size() < line_number) lines.resize(line_number);
    std::string& text = lines[line_number - 1];
    if (!text.empty()) text += ' ';
    text += line;
  }
  return lines;
}

// The source lines the compiler keeps as code: those its -fdirectives-only
// output holds (every line of a group taken) other than its directives
// (a #define stays there, on the line where it begins).
std::set<std::size_t> active_lines(const CompileEntry& entry) {
  std::FILE* pipe = popen(preprocessing_command(entry, "-fdirectives-only").c_str(), "r");
  const std::string output = read_rest(pipe);
  pclose(pipe);
  bool seen = false;
  const std::vector<std::string> lines = lines_of_file(output, entry.directory, entry.full_path, seen);
  std::set<std::size_t> active;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t first = lines[i].find_first_not_of(" \t");
    if (first != std::string::npos && lines[i][first] != '#') active.insert(i + 1);
  }
  return active;
}

// The tokens with every >> as > and >: after a line marker that changes
// whether the code comes from a system header, the compiler writes the next
// tokens with no blank between them, so two > of a template's ends read
// back as one >>.
std::vector<std::string> with_shifts_split(const std::vector<std::string>& tokens) {
  std::vector<std::string> split;
  for (const std::string& token : tokens) {
    if (token == ">>") {
      split.emplace_back(">");
      split.emplace_back(">");
    } else {
      split.push_back(token);
    }
  }
  return split;
}

constexpr char kOpen = '\x05';
constexpr char kMiddle = '\x06';
constexpr char kClose = '\x07';

// The listing's text on the `active` source lines. `marked` is the listing
// with --depth=1 -f '<5>$x<6>$n<7>': each use's expansion stands on the line
// where the use begins, and its text as written counts the lines it spans.
std::string listing_on_lines(const std::string& marked, const std::set<std::size_t>& active) {
  std::string text;
  std::size_t line = 1;
  std::size_t pos = 0;
  while (pos < marked.size()) {
    const char c = marked[pos];
    if (c == kOpen) {
      const std::size_t middle = marked.find(kMiddle, pos);
      const std::size_t close = marked.find(kClose, middle);
      if (middle == std::string::npos || close == std::string::npos) break;
      if (active.contains(line)) text += " " + marked.substr(pos + 1, middle - pos - 1) + " ";
      const auto spanned = std::count(marked.begin() + static_cast<std::ptrdiff_t>(middle),
                                      marked.begin() + static_cast<std::ptrdiff_t>(close), '\n');
      line += static_cast<std::size_t>(spanned);
      text.append(static_cast<std::size_t>(spanned), '\n');
      pos = close + 1;
      continue;
    }
    if (c == '\n') {
      ++line;
      text += '\n';
    } else if (active.contains(line)) {
      text += c;
    }
    ++pos;
  }
  return text;
}

bool is_cxx_source(const std::string& path) {
  static const std::vector<std::string> extensions = {".cc", ".cpp", ".cxx", ".c++", ".C"};
  const std::string extension = std::filesystem::path(path).extension().string();
  return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

enum class Outcome { agree, agree_but_joined, differ, not_compared };

Outcome check_entry(const std::string& dir, const CompileEntry& entry) {
  const std::string& path = entry.full_path;
  std::vector<std::string> problems;
  const RunResult plain = run_program({"--cpp", "-p", dir, "-f", "$n", path});
  if (plain.status != 0 && plain.status != 1) problems.push_back("status " + std::to_string(plain.status));
  if (plain.out != read_file(path)) problems.push_back("-f '$n' is not the file");

  std::FILE* pipe = popen(preprocessing_command(entry, "").c_str(), "r");
  const std::string compiled = read_rest(pipe);
  const int compiler_status = pclose(pipe);
  bool seen = false;
  const std::vector<std::string> compiler_lines = lines_of_file(compiled, entry.directory, path, seen);
  Outcome outcome = Outcome::agree;
  if (!seen || !WIFEXITED(compiler_status) || WEXITSTATUS(compiler_status) != 0) {
    outcome = Outcome::not_compared;
  } else {
    std::string compiler_text;
    for (const std::string& line : compiler_lines) compiler_text += line + "\n";
    const std::string marked = run_program({"--cpp", "-p", dir, "--depth=1", "-f",
                                            std::string{kOpen} + "$x" + kMiddle + "$n" + kClose, path})
                                   .out;
    cmode::set_lexing_dialect(*cmode::find_dialect("", is_cxx_source(path)));
    const std::vector<std::string> theirs = with_shifts_split(tokens_of(compiler_text));
    const std::vector<std::string> written = tokens_of(listing_on_lines(marked, active_lines(entry)));
    const std::vector<std::string> ours = with_shifts_split(written);
    if (written != tokens_of(compiler_text) && ours == theirs) {
      outcome = Outcome::agree_but_joined;
    } else if (ours != theirs) {
      problems.push_back("tokens differ" + first_difference(ours, theirs, "compiler"));
    }
  }
  for (const std::string& problem : problems) std::cout << path << ": " << problem << "\n";
  return problems.empty() ? outcome : Outcome::differ;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: cmode_project_check DIR [file...]\n";
    return 2;
  }
  const std::string dir = argv[1];
  CompileDatabase database;
  std::string error;
  if (!read_compile_database(database_in_directory(dir), database, error)) {
    std::cerr << error << "\n";
    return 2;
  }
  std::vector<const CompileEntry*> entries;
  for (int i = 2; i < argc; ++i) {
    const CompileEntry* entry = entry_of(database, argv[i]);
    if (entry == nullptr) {
      std::cerr << argv[i] << ": no entry in the database\n";
      return 2;
    }
    entries.push_back(entry);
  }
  // A source named on the command line takes its first entry: a source
  // compiled twice (with other flags) is checked as that entry gives it.
  if (argc == 2) {
    std::set<std::string> named;
    for (const CompileEntry& entry : database.entries) {
      if (named.insert(entry.full_path).second) entries.push_back(&entry);
    }
  }
  int agree = 0;
  int joined = 0;
  int differ = 0;
  int not_compared = 0;
  for (const CompileEntry* entry : entries) {
    switch (check_entry(dir, *entry)) {
      case Outcome::agree: ++agree; break;
      case Outcome::agree_but_joined: ++joined; break;
      case Outcome::differ: ++differ; break;
      case Outcome::not_compared: ++not_compared; break;
    }
  }
  std::cout << entries.size() << " files, " << agree << " agree, " << joined
            << " agree but for >> the compiler's text joins, " << differ << " differ, " << not_compared
            << " the compiler refused (tokens not compared)\n";
  return differ == 0 ? 0 : 1;
}
