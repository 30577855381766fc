// The built-in macros that change as files are read (__LINE__ and __FILE__
// after #line, __COUNTER__, __INCLUDE_LEVEL__, __BASE_FILE__, __FILE_NAME__,
// __DATE__, __TIME__, __TIMESTAMP__) and the checks of #line, compared with
// the C compiler's preprocessor on files in a folder of their own.
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/run.h"
#include "captured_io.h"
#include "common/run_io.h"

namespace sornik {
namespace {

namespace fs = std::filesystem;

// The words of the lines that are no directive (nor a directive's continuation).
std::vector<std::string> code_words(const std::string& text) {
  std::istringstream lines(text);
  std::vector<std::string> words;
  bool in_directive = false;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t first = line.find_first_not_of(" \t");
    const bool directive = in_directive || (first != std::string::npos && line[first] == '#');
    in_directive = directive && !line.empty() && line.back() == '\\';
    if (directive) continue;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
  }
  return words;
}

struct Outcome {
  std::vector<std::string> words;
  std::string err;
};

class BuiltinMacros : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("gcc --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no gcc on this machine";
    dir_ = fs::temp_directory_path() / ("sornik_builtins_" + std::to_string(::getpid()));
    fs::create_directories(dir_ / "sub");
    previous_dir_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    if (dir_.empty()) return;
    fs::current_path(previous_dir_);
    fs::remove_all(dir_);
    unsetenv("SOURCE_DATE_EPOCH");
  }

  static void write(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
  }

  static Outcome ours(const std::string& name) {
    testing::MemoryStream out;
    testing::MemoryStream err;
    const RunIo saved = run_io();
    run_io().out = out.stream();
    run_io().err = err.stream();
    run_sornik({"--cpp", "-undef", "-nostdinc", "-f", "$x", name});
    run_io() = saved;
    return {code_words(out.text()), err.text()};
  }

  static Outcome compilers(const std::string& name) {
    Outcome outcome;
    std::string text;
    if (std::FILE* pipe = popen(("gcc -E -P -undef -nostdinc '" + name + "' 2>gcc.err").c_str(), "r")) {
      char buffer[4096];
      for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
      pclose(pipe);
    }
    outcome.words = code_words(text);
    std::ifstream err("gcc.err");
    outcome.err.assign(std::istreambuf_iterator<char>(err), {});
    return outcome;
  }

  // Both give the same code; every diagnostic the compiler gives (its text
  // after the location) is given too.
  static void expect_as_compiler(const std::string& name) {
    const Outcome mine = ours(name);
    const Outcome theirs = compilers(name);
    EXPECT_EQ(mine.words, theirs.words) << name;
    std::istringstream lines(theirs.err);
    for (std::string line; std::getline(lines, line);) {
      for (const char* kind : {" error: ", " warning: "}) {
        const std::size_t at = line.find(kind);
        if (at == std::string::npos || line.find("<built-in>") == 0) continue;
        std::string text = line.substr(at);
        EXPECT_NE(mine.err.find(text), std::string::npos) << name << ": missing" << text << "\nin:\n"
                                                          << mine.err;
      }
    }
  }

 private:
  fs::path dir_;
  fs::path previous_dir_;
};

TEST_F(BuiltinMacros, LineChangesLineAndFileFromTheNextLineOn) {
  const std::string cases[] = {
      "#line 100 \"lexer.l\"\n__LINE__ __FILE__ __FILE_NAME__\n#line 7\n__LINE__ __FILE__\n",
      "#define L 50\n#define F \"m.c\"\n#line L F\n__LINE__ __FILE__\n",
      "#line 10 \\\n\"spliced.c\"\n__LINE__ __FILE__\n",
      "# 40 \"marker.c\" 1 3\n__LINE__ __FILE__\n",
      "#line 10 \"a\\\\b.c\"\n__FILE__ __FILE_NAME__\n#line 11 \"x\\x41\\101.c\"\n__FILE__\n",
      "#line 4294967295\n__LINE__\n__LINE__\n",
      "#line 0\n__LINE__\n#line 2147483648\n__LINE__\n",
      "#line 99999999999999999999\n__LINE__\n",
      "#line x\n__LINE__\n",
      "#line 0x10\n__LINE__\n",
      "#line 10 foo\n__LINE__ __FILE__\n",
      "#line 10 L\"w.c\"\n__LINE__ __FILE__\n",
      "#line\n__LINE__\n",
      "#line 10 \"a\" 3\n__LINE__ __FILE__\n",
  };
  int index = 0;
  for (const std::string& text : cases) {
    const std::string name = "line" + std::to_string(index++) + ".c";
    write(name, text);
    expect_as_compiler(name);
  }
}

TEST_F(BuiltinMacros, CounterLevelAndFileNamesFollowTheFilesRead) {
  write("sub/inner.h",
        "#if __INCLUDE_LEVEL__ == 1 && __COUNTER__ == 1\n#define INNER __BASE_FILE__ __FILE__ "
        "__FILE_NAME__\n#endif\n");
  write("sub/main.c",
        "__COUNTER__ __INCLUDE_LEVEL__\n#include \"inner.h\"\nINNER __COUNTER__ __BASE_FILE__ __FILE_NAME__\n"
        "#define C __COUNTER__ __COUNTER__\nC __LINE__\n");
  expect_as_compiler("sub/main.c");
  // A backslash or quote in the name is escaped in the literal.
  write("sub/a\\b\".c", "__FILE__ __BASE_FILE__ __FILE_NAME__\n");
  expect_as_compiler("sub/a\\b\".c");
}

TEST_F(BuiltinMacros, CounterCountsInHeaderCodeAndArgumentsInTheirOrderOfUse) {
  // The listing shows no header code, yet each __COUNTER__ the compiler
  // meets there counts: through a macro, written in the code once a macro
  // has mentioned it, in a call whose arguments go on over lines and past a
  // directive; not in a group skipped. A macro's arguments are expanded
  // where the body first uses them.
  write("counted.h",
        "#define CAT2(a, b) a##b\n#define CAT(a, b) CAT2(a, b)\n#define ANON(x) CAT(x, __COUNTER__)\n"
        "int ANON(v);\nint f(int a,\n#ifdef NOT_DEFINED\n int b,\n#endif\n int ANON(c));\n"
        "#if 0\nint ANON(z);\n#endif\nint ANON(\n w), g = __COUNTER__;\n");
  write("direct.h", "int h = __COUNTER__ + __COUNTER__;\n");
  write("counter.c",
        "#include \"counted.h\"\n#include \"direct.h\"\nint n = __COUNTER__;\n"
        "#define USE(first, second) second first\nUSE(ANON(a), ANON(b))\n");
  // The compiler's output holds the headers' code too: the source's is its end.
  const std::vector<std::string> mine = ours("counter.c").words;
  const std::vector<std::string> theirs = compilers("counter.c").words;
  ASSERT_EQ(mine.size(), 6U);
  ASSERT_GE(theirs.size(), mine.size());
  EXPECT_EQ(mine, std::vector<std::string>(theirs.end() - 6, theirs.end()));
}

TEST_F(BuiltinMacros, CounterWrittenInHeaderCodeCountsWithoutAnyMacroNamingIt) {
  // No macro mentions __COUNTER__: the headers' own spelling of it must count,
  // on the first reading of a header and on a later one, beside the
  // counting in #if and in the source.
  write("plain.h", "int p;\n");
  write("spelled.h", "#if __COUNTER__ > 4\nint big;\n#endif\nint s = __COUNTER__;\n");
  write("count.c",
        "#if __COUNTER__ == 0\n#include \"plain.h\"\n#endif\nint a = __COUNTER__;\n"
        "#include \"spelled.h\"\nint b = __COUNTER__;\n#include \"spelled.h\"\n"
        "#include \"plain.h\"\nint c = __COUNTER__;\n");
  // The compiler's output holds the headers' code too: the values of the
  // source's own names are compared.
  const auto values = [](const std::vector<std::string>& words) {
    std::vector<std::string> found;
    for (std::size_t at = 0; at + 3 < words.size(); ++at) {
      if (words[at] == "int" && words[at + 1].size() == 1 && words[at + 1] != "s")
        found.push_back(words[at + 3]);
    }
    return found;
  };
  const std::vector<std::string> mine = values(ours("count.c").words);
  EXPECT_EQ(mine, std::vector<std::string>({"1;", "4;", "7;"}));
  EXPECT_EQ(mine, values(compilers("count.c").words));
}

TEST_F(BuiltinMacros, DateAndTimeHonourSourceDateEpoch) {
  write("when.c", "__DATE__ __TIME__ __TIMESTAMP__\n");
  struct timespec times[2] = {{1577934245, 0}, {1577934245, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, "when.c", times, 0), 0);
  for (const char* epoch : {"0", "86399", "951782400", "253402300799"}) {
    setenv("SOURCE_DATE_EPOCH", epoch, 1);
    expect_as_compiler("when.c");
  }
  // A value the compiler refuses is an error, and the time of the run is used.
  setenv("SOURCE_DATE_EPOCH", "253402300800", 1);
  EXPECT_NE(ours("when.c").err.find("error: environment variable 'SOURCE_DATE_EPOCH' must expand"),
            std::string::npos);
}

}  // namespace
}  // namespace sornik
