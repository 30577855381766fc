// Tests of the streams of a run (standard streams or memory), its 64 KB output
// buffer and the read-error state of its input files.
#include "common/run_io.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>

#include "captured_io.h"

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

// The default opener reads a whole file through a descriptor: a regular file
// of any size, a file that tells no size (of /proc, a pipe) until its end, and
// a failing read as far as it got, reported. The same bytes come through a
// test's opener.
TEST(ReadWholeInput, ReadsEveryKindOfFileToItsEnd) {
  const auto read_text = [](const std::string& name, bool& opened) {
    PageArray<char> bytes;
    std::size_t size = 12345;
    opened = read_whole_input(name, bytes, size);
    return opened ? std::string(bytes.data(), size) : std::string();
  };
  bool opened = false;
  for (const bool own_opener : {false, true}) {
    const RunIo saved = run_io();
    if (own_opener)
      run_io().open_input = [](const std::string& name) {
        return std::fopen(name.c_str(), "r");
      };
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65536}, std::size_t{70000}}) {
      const SizedFile file(size);
      EXPECT_EQ(read_text(file.path(), opened), std::string(size, 'x')) << size;
      EXPECT_TRUE(opened);
    }
    EXPECT_EQ(read_text("/tmp/sornik-io-no-such-file", opened), "");
    EXPECT_FALSE(opened);
    run_io() = saved;
  }
  read_text("/tmp", opened);
  EXPECT_FALSE(opened);  // a directory
  // Its size is 0, its text is not.
  std::ifstream stream("/proc/self/cmdline", std::ios::binary);
  const std::string cmdline((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(cmdline.empty());
  EXPECT_EQ(read_text("/proc/self/cmdline", opened), cmdline);
  // A pipe of more than the first room, written while it is read.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::string piped(200000, 'p');
  for (std::size_t i = 0; i < piped.size(); i += 251) piped[i] = static_cast<char>(i);
  std::thread writer([&] {
    for (std::size_t done = 0; done < piped.size();) {
      const ssize_t wrote =
          write(ends[1], piped.data() + done, std::min<std::size_t>(piped.size() - done, 30000));
      if (wrote <= 0) break;
      done += static_cast<std::size_t>(wrote);
    }
    close(ends[1]);
  });
  // Opened by name, the pipe is a file of its own whose end is the writer's.
  const std::string text = read_text("/proc/self/fd/" + std::to_string(ends[0]), opened);
  writer.join();
  close(ends[0]);
  EXPECT_EQ(text.size(), piped.size());
  EXPECT_TRUE(text == piped);
  // Reading a process's memory from address 0 fails at once.
  testing::CapturedIo io;
  run_io().open_input = open_file_for_reading;
  reset_read_errors();
  EXPECT_EQ(read_text("/proc/self/mem", opened), "");
  EXPECT_TRUE(opened);
  EXPECT_TRUE(read_failed());
  EXPECT_EQ(io.err(), "/proc/self/mem: read error\n");
  reset_read_errors();
}

}  // namespace
}  // namespace sornik
