// A file whose reading fails part way behaves as if it ended there: the
// bytes read before the failure are used and the run goes on, but the
// failure is reported and the run ends with status 1.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

#include "app/run.h"
#include "captured_io.h"
#include "common/run_io.h"

namespace sornik {
namespace {

// A stream that gives `text` and then fails with EIO on every further read.
std::FILE* failing_after(const std::string& text) {
  struct Source {
    std::string text;
    std::size_t pos = 0;
  };
  cookie_io_functions_t functions{};
  functions.read = [](void* cookie, char* buffer, std::size_t size) -> ssize_t {
    auto& source = *static_cast<Source*>(cookie);
    if (source.pos == source.text.size()) {
      errno = EIO;
      return -1;
    }
    const std::size_t count = std::min(size, source.text.size() - source.pos);
    std::memcpy(buffer, source.text.data() + source.pos, count);
    source.pos += count;
    return static_cast<ssize_t>(count);
  };
  functions.close = [](void* cookie) {
    delete static_cast<Source*>(cookie);
    return 0;
  };
  return fopencookie(new Source{text}, "r", functions);
}

struct ReadErrorRun {
  int status;
  std::string out;
  std::string err;
};

// A run in which the files named in `failing` fail after their text, and
// the others are served normally.
ReadErrorRun run_with_failing_files(const std::vector<std::string>& args,
                                    const std::map<std::string, std::string>& files,
                                    const std::map<std::string, std::string>& failing) {
  testing::CapturedIo io;
  io.files = files;
  const auto serve_file = run_io().open_input;
  run_io().open_input = [&](const std::string& name) -> std::FILE* {
    const auto found = failing.find(name);
    return found == failing.end() ? serve_file(name) : failing_after(found->second);
  };
  const int status = run_sornik(args);
  return {status, io.out(), io.err()};
}

TEST(ReadError, InASourceFileEndsThatFileAndTheRunGoesOn) {
  const auto run = run_with_failing_files({"-l", "-d", "defs.h", "a.c", "b.c"},
                                          {{"defs.h", "#define N 1\n"}, {"b.c", "b = N;\n"}},
                                          {{"a.c", "x = N;\nunfinished = N"}});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "/* === a.c === */\nx = N`1';\nunfinished = N`1'"
            "/* === b.c === */\nb = N`1';\n");
  EXPECT_EQ(run.err, "a.c: read error\n");
}

TEST(ReadError, InsideAnArgumentListIsNamedAfterTheStop) {
  const auto run = run_with_failing_files({"-d", "defs.h", "a.c"}, {{"defs.h", "#define F(x) [x]\n"}},
                                          {{"a.c", "x;\ny = F(1,\n"}});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "x;\n");
  EXPECT_EQ(run.err, "cannot develop, so exit!\na.c: read error\n");
}

TEST(ReadError, InADefinitionFileKeepsTheStatementsReadBeforeIt) {
  const auto run = run_with_failing_files({"-d", "defs.h", "a.c"}, {{"a.c", "x = N + M;\n"}},
                                          {{"defs.h", "#define N 1\n#define M 2"}});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "x = N`1' + M`2';\n");
  EXPECT_EQ(run.err, "defs.h: read error\n");
}

TEST(ReadError, AtTheFirstByteIsReportedToo) {
  const auto run =
      run_with_failing_files({"-d", "defs.h", "a.c"}, {{"defs.h", "#define N 1\n"}}, {{"a.c", ""}});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "a.c: read error\n");
}

}  // namespace
}  // namespace sornik
