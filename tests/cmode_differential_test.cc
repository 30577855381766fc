// Random macro programs expanded in C mode, compared with the C compiler's
// preprocessor (`cpp -P -undef -nostdinc`), and C++ ones read as C++ under
// several -std= by a whole run, compared with `g++ -E`. The default runs are
// small and fixed; a longer one is
//   SORNIK_CMODE_PROGRAMS=20000 SORNIK_CMODE_SEED=7 build/sornik_tests --gtest_filter='CModeDifferential*'
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "captured_io.h"
#include "cmode/lex/dialect.h"
#include "cmode_program.h"
#include "cmode_random_program.h"
#include "cmode_token_texts.h"

namespace sornik::testing {
namespace {

unsigned long setting(const char* name, unsigned long fallback) {
  const char* value = std::getenv(name);
  return value == nullptr ? fallback : std::strtoul(value, nullptr, 10);
}

// The tokens of a text's code lines (directive lines, and the lines their
// splices join to them, left out).
std::vector<std::string> code_tokens(const std::string& text) {
  std::string code;
  std::istringstream lines(text);
  bool in_directive = false;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (!in_directive && (first == std::string::npos || line[first] != '#')) {
      code += line + "\n";
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    in_directive = !line.empty() && line.back() == '\\';
  }
  return token_texts(code);
}

std::string join(const std::vector<std::string>& tokens) {
  std::string text;
  for (const std::string& token : tokens) text += token + " ";
  return text;
}

struct Preprocessed {
  std::string out;
  bool clean;  // no error other than a failed paste
};

// `program` through the compiler's preprocessor: `command` (which reads
// the file named last) on a file of `suffix`.
Preprocessed run_cpp(const std::string& program, const std::string& command_start = "cpp -P -undef -nostdinc",
                     const std::string& suffix = ".c") {
  const std::string dir = ::testing::TempDir();
  const std::string stem = dir + "sornik_cmode_diff_" + std::to_string(getpid());
  const std::string source = stem + suffix;
  const std::string errors = stem + ".err";
  std::ofstream(source, std::ios::binary) << program;
  const std::string command = command_start + " " + source + " 2>" + errors;
  Preprocessed result{{}, true};
  std::FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.out.append(buffer, got);
  pclose(pipe);
  std::ifstream err(errors);
  for (std::string line; std::getline(err, line);) {
    if (line.find(" error: ") != std::string::npos && line.find("error: pasting") == std::string::npos) {
      result.clean = false;
    }
    // A pasted raw string that spans lines: the compiler counts its lines
    // once more, and its __LINE__ runs ahead from there on.
    if (line.find("error: pasting") != std::string::npos && line.find("does not give") == std::string::npos)
      result.clean = false;
  }
  return result;
}

// Checks that every group's name text begins with a name the program defines
// (or an operator the preprocessor replaces). Groups are written as
// \x05 name \x06 expansion \x07 by the format that renders them.
bool groups_name_macros(const std::string& rendered, const std::string& program, std::string& bad) {
  for (std::size_t pos = rendered.find('\x05'); pos != std::string::npos;
       pos = rendered.find('\x05', pos + 1)) {
    std::size_t end = pos + 1;
    while (end < rendered.size() &&
           (std::isalnum(static_cast<unsigned char>(rendered[end])) || rendered[end] == '_'))
      ++end;
    const std::string name = rendered.substr(pos + 1, end - pos - 1);
    if (name == "__LINE__" || name == "_Pragma") continue;
    if (name.empty() || program.find("#define " + name) == std::string::npos) {
      bad = name;
      return false;
    }
  }
  return true;
}

// The text a rendering through "\x05$n\x06$x\x07" would be through "$x":
// each group's start, name and separator, and its end, left out.
std::string expansions_alone(const std::string& rendered) {
  std::string text;
  for (std::size_t pos = 0; pos < rendered.size(); ++pos) {
    if (rendered[pos] == '\x05') {
      pos = rendered.find('\x06', pos);
      if (pos == std::string::npos) break;
    } else if (rendered[pos] != '\x07') {
      text.push_back(rendered[pos]);
    }
  }
  return text;
}

TEST(CModeDifferential, RandomProgramsExpandAsTheCompilersPreprocessorDoes) {
  if (std::system("cpp --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no cpp on this machine";
  std::mt19937 random(static_cast<std::mt19937::result_type>(setting("SORNIK_CMODE_SEED", 1515)));
  const unsigned long programs = setting("SORNIK_CMODE_PROGRAMS", 300);
  unsigned long compared = 0;
  int failures = 0;
  for (unsigned long i = 0; i < programs && failures < 3; ++i) {
    const std::string program = random_macro_program(random);
    // With SORNIK_CMODE_DUMP set, each program is written there before it runs.
    if (const char* dump = std::getenv("SORNIK_CMODE_DUMP")) std::ofstream(dump, std::ios::binary) << program;
    const bool names_ok = expand_program(program, "$n").out == program;
    EXPECT_TRUE(names_ok) << "-f '$n' changed the source of program " << i << ":\n" << program;
    // The default form is written straight, a format through marked text: the two must agree.
    const std::string default_form = expand_program(program).out;
    EXPECT_EQ(default_form, expand_program(program, "$n`$x'").out) << program;
    std::string bad;
    const std::string grouped = expand_program(program, "\x05$n\x06$x\x07").out;
    bool groups_ok = groups_name_macros(grouped, program, bad);
    EXPECT_TRUE(groups_ok) << "a group of program " << i << " is no use of a macro (" << bad << "):\n"
                           << program;
    // "$x" is expanded without the groups it does not show, and "\x05\x06$x\x07"
    // without their names: every group still renders as its expansion.
    const std::string expansions = expand_program(program, "$x").out;
    const std::string named = expansions_alone(grouped);
    const std::string unnamed = expansions_alone(expand_program(program, "\x05\x06$x\x07").out);
    EXPECT_EQ(named, expansions) << program;
    EXPECT_EQ(unnamed, expansions) << program;
    groups_ok = groups_ok && named == expansions && unnamed == expansions;
    const Preprocessed cpp = run_cpp(program);
    bool tokens_ok = true;
    if (cpp.clean) {
      ++compared;
      const std::string& ours = expansions;
      tokens_ok = code_tokens(ours) == code_tokens(cpp.out);
      EXPECT_TRUE(tokens_ok) << "program " << i << ":\n"
                             << program << "\n--- cpp -P:\n"
                             << join(code_tokens(cpp.out)) << "\n--- -f '$x':\n"
                             << join(code_tokens(ours)) << "\n--- default:\n"
                             << expand_program(program).out;
    }
    if (!names_ok || !groups_ok || !tokens_ok) ++failures;
  }
  std::printf("%lu programs, %lu compared token for token with cpp -P, %d differ\n", programs, compared,
              failures);
}

// The compiler writes a raw string's CR LF line ends as LF, as all its
// others, and leaves out a splice in a raw string that follows another
// splice on its line; the listing keeps the source's bytes. Both sides are
// compared with CRs and the splices in raw strings left out.
// A literal left open (`'` of 1'0 before C++14) runs to its line's end,
// through text whose blanks and comments the two write apart: they are left
// out of it.
std::vector<std::string> comparable(std::vector<std::string> tokens) {
  for (std::string& token : tokens) {
    std::erase(token, '\r');
    if ((token[0] == '\'' || token[0] == '"') && (token.size() == 1 || token.back() != token[0])) {
      for (std::size_t comment; (comment = token.find("/* c */")) != std::string::npos;)
        token.erase(comment, 7);
      std::erase(token, ' ');
    }
    const std::size_t quote = token.find('"');
    if (quote == std::string::npos || quote == 0 || token[quote - 1] != 'R') continue;
    for (std::size_t splice; (splice = token.find("\\\n")) != std::string::npos;) token.erase(splice, 2);
  }
  return tokens;
}

// `tokens` from a few before the first that `other` does not have.
std::vector<std::string> from_difference(const std::vector<std::string>& tokens,
                                         const std::vector<std::string>& other) {
  std::size_t first = 0;
  while (first < tokens.size() && first < other.size() && tokens[first] == other[first]) ++first;
  return {tokens.begin() + static_cast<std::ptrdiff_t>(first - std::min<std::size_t>(first, 5)),
          tokens.end()};
}

// Where g++ -E writes two tokens with nothing between them although they
// read back as others, sornik keeps them apart: `.` before `*` (`.*`), `<:`
// before `:` (`<::`), a character constant before a name (a literal
// suffix), a name or number before a number, a prefixed literal or a
// character constant with a suffix. Such a
// pair of ours, joined, stands for the compiler's one token.
bool compiler_joins(const std::string& left, const std::string& right, const std::string& joined) {
  if (left + right != joined) return false;
  const auto word = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
  };
  return (left == "." && right[0] == '*') || (left == "<:" && right[0] == ':') ||
         (left.back() == '\'' && right[0] == '_') ||
         (word(left.back()) && (word(right[0]) || right[0] == '\''));
}

// Whether our tokens are the compiler's, up to the pairs it joins.
bool same_tokens(const std::vector<std::string>& ours, const std::vector<std::string>& theirs) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < ours.size() && j < theirs.size()) {
    if (ours[i] == theirs[j]) {
      ++i;
      ++j;
      continue;
    }
    // The compiler may have joined our next tokens into one or more of its own
    // (`x 1.5` read back as `x1` `.5`, a name and a raw string as a name and
    // literals left open): both sides' texts, blanks aside, must meet again.
    const auto unspaced = [](std::string text) {
      std::erase_if(text, [](char c) {
        return c == ' ' || c == '\n';
      });
      return text;
    };
    std::string mine = unspaced(ours[i]);
    std::string its = unspaced(theirs[j]);
    if (i + 1 >= ours.size() || !compiler_joins(ours[i], ours[i + 1], ours[i] + ours[i + 1]) ||
        its.rfind(mine, 0) != 0)
      return false;
    ++i;
    ++j;
    while (mine != its && i < ours.size() && j <= theirs.size()) {
      if (mine.size() < its.size()) {
        mine += unspaced(ours[i++]);
      } else if (j < theirs.size()) {
        its += unspaced(theirs[j++]);
      } else {
        return false;
      }
    }
    if (mine != its) return false;
  }
  return i == ours.size() && j == theirs.size();
}

TEST(CModeDifferential, RandomCxxProgramsExpandAsGxxDoes) {
  if (std::system("g++ --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no g++ on this machine";
  const cmode::ScopedLexingDialect keep(cmode::lexing_dialect());
  static const char* const kStandards[] = {"c++11", "c++17", "c++20", "gnu++20", "c++2b"};
  std::mt19937 random(static_cast<std::mt19937::result_type>(setting("SORNIK_CMODE_SEED", 2011)));
  const unsigned long programs = setting("SORNIK_CMODE_PROGRAMS", 400);
  unsigned long compared = 0;
  int failures = 0;
  for (unsigned long i = 0; i < programs && failures < 3; ++i) {
    const std::string program = random_macro_program(random, true);
    if (const char* dump = std::getenv("SORNIK_CMODE_DUMP")) std::ofstream(dump, std::ios::binary) << program;
    const std::string standard = kStandards[i % std::size(kStandards)];
    const std::vector<std::string> run = {"--cpp", "-x", "c++", "-std=" + standard, "-undef", "-nostdinc"};
    std::vector<std::string> names_run = run;
    names_run.insert(names_run.end(), {"-f", "$n", "t.cc"});
    const bool names_ok = run_in_memory(names_run, {{"t.cc", program}}).out == program;
    EXPECT_TRUE(names_ok) << "-f '$n' changed the source of program " << i << " (" << standard << "):\n"
                          << program;
    std::vector<std::string> expansion_run = run;
    expansion_run.insert(expansion_run.end(), {"-f", "$x", "t.cc"});
    const RunResult ours = run_in_memory(expansion_run, {{"t.cc", program}});
    const Preprocessed gxx = run_cpp(program, "g++ -E -P -undef -nostdinc -x c++ -std=" + standard, ".cc");
    bool tokens_ok = true;
    if (gxx.clean) {
      ++compared;
      const cmode::ScopedLexingDialect dialect(*cmode::find_dialect(standard, true));
      const std::vector<std::string> ours_tokens = comparable(code_tokens(ours.out));
      const std::vector<std::string> gxx_tokens = comparable(code_tokens(gxx.out));
      tokens_ok = same_tokens(ours_tokens, gxx_tokens);
      EXPECT_TRUE(tokens_ok) << "program " << i << " (" << standard << "):\n"
                             << program << "\n--- g++ -E -P, from the first difference:\n"
                             << join(from_difference(gxx_tokens, ours_tokens)) << "\n--- -f '$x':\n"
                             << join(from_difference(ours_tokens, gxx_tokens)) << "\n"
                             << ours.err;
    }
    if (!names_ok || !tokens_ok) ++failures;
  }
  std::printf("%lu programs, %lu compared token for token with g++ -E -P, %d differ\n", programs, compared,
              failures);
}

// #undef and #define act on the built-in macros as on any other: an
// undefined one stays as written, a redefined one is an ordinary macro.
TEST(CModeDifferential, BuiltInMacrosUndefinedOrRedefinedAsTheCompilersPreprocessorDoes) {
  if (std::system("cpp --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no cpp on this machine";
  const std::string programs[] = {
      "__LINE__\n#undef __FILE__\n#undef __LINE__\n#define L __LINE__ __FILE__\nL __LINE__\n",
      "#define __LINE__ 7\n#define F(x) x __LINE__\nF(__LINE__)\n#undef __LINE__\nF(1) __LINE__\n",
      "#define A __LINE__\nA\n#undef __LINE__\nA\n#define __LINE__ A\n__LINE__ A\n",
      "#undef _Pragma\n_Pragma(\"x\") y\n#define _Pragma(s) s\n_Pragma(\"z\")\n",
  };
  for (const std::string& program : programs) {
    const Preprocessed cpp = run_cpp(program);
    EXPECT_EQ(join(code_tokens(expand_program(program, "$x").out)), join(code_tokens(cpp.out))) << program;
  }
}

}  // namespace
}  // namespace sornik::testing
