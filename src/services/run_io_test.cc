#include "services/run_io.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace sornik {
namespace {

// A file of `size` bytes, removed at the end of the test.
class SizedFile {
 public:
  explicit SizedFile(std::size_t size) {
    char path[] = "/tmp/sornik-io-XXXXXX";
    const int descriptor = mkstemp(path);
    path_ = path;
    const std::string text(size, 'x');
    if (write(descriptor, text.data(), text.size()) != static_cast<ssize_t>(size)) std::abort();
    close(descriptor);
  }
  ~SizedFile() { std::remove(path_.c_str()); }
  SizedFile(const SizedFile&) = delete;
  SizedFile& operator=(const SizedFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The size of a regular file comes with it, whoever opens it; other streams
// and directories give none.
TEST(OpenInput, TellsTheSizeOfARegularFile) {
  for (const bool own_opener : {false, true}) {
    const RunIo saved = run_io();
    if (own_opener)
      run_io().open_input = [](const std::string& name) {
        return std::fopen(name.c_str(), "r");
      };
    for (const std::size_t size : {0, 1, 70000}) {
      const SizedFile file(size);
      std::size_t told = 12345;
      const InputFile opened = open_input(file.path(), told);
      EXPECT_NE(opened, nullptr);
      EXPECT_EQ(told, size) << own_opener;
    }
    std::size_t told = 12345;
    EXPECT_NE(open_input("/dev/null", told), nullptr);
    EXPECT_EQ(told, 0U);
    told = 12345;
    EXPECT_EQ(open_input("/tmp/sornik-io-no-such-file", told), nullptr);
    EXPECT_EQ(told, 0U);
    told = 12345;
    // The default opener refuses a directory; fopen does not.
    EXPECT_EQ(open_input("/tmp", told) == nullptr, !own_opener);
    EXPECT_EQ(told, 0U);
    run_io() = saved;
  }
  std::string text = "in memory";
  const RunIo saved = run_io();
  run_io().open_input = [&text](const std::string&) {
    return fmemopen(text.data(), text.size(), "r");
  };
  std::size_t told = 12345;
  const InputFile opened = open_input("m.h", told);
  run_io() = saved;
  EXPECT_NE(opened, nullptr);
  EXPECT_EQ(told, 0U);
}

}  // namespace
}  // namespace sornik
