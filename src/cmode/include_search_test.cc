#include "cmode/include_search.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace sornik::cmode {
namespace {

// A file of `text` in a fresh directory, removed at the end of the test.
class TempFile {
 public:
  explicit TempFile(const std::string& text) {
    char dir[] = "/tmp/sornik-search-XXXXXX";
    dir_ = mkdtemp(dir);
    path_ = dir_ + "/h.h";
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  ~TempFile() {
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string dir_;
  std::string path_;
};

TEST(IncludeSearch, ReadsFilesOfTheirSizeWhole) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65536}, std::size_t{3} << 20}) {
    std::string text(size, 'a');
    if (size != 0) text.back() = 'z';
    const TempFile file(text);
    IncludeSearch search;
    const HeaderFile* header = search.open(file.path());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->text, text) << size;
  }
  IncludeSearch search;
  EXPECT_EQ(search.open("/tmp/sornik-no-such-dir/h.h"), nullptr);
}

}  // namespace
}  // namespace sornik::cmode
