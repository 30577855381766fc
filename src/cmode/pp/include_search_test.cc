// Tests of the include search: whole reads, texts read again, directories tried and questions remembered.
#include "cmode/pp/include_search.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "captured_io.h"
#include "common/run_io.h"

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

// A dropped text is read again from the file; a file gone by then cannot be.
TEST(IncludeSearch, ReadsADroppedTextAgain) {
  IncludeSearch search;
  HeaderFile* header = nullptr;
  {
    const TempFile file("#define A 1\n");
    header = search.open(file.path());
    ASSERT_NE(header, nullptr);
    IncludeSearch::drop_text(*header);
    EXPECT_EQ(header->text, "");
    ASSERT_TRUE(IncludeSearch::restore_text(*header));
    EXPECT_EQ(header->text, "#define A 1\n");
    EXPECT_TRUE(IncludeSearch::restore_text(*header));
    IncludeSearch::drop_text(*header);
  }
  EXPECT_FALSE(IncludeSearch::restore_text(*header));
  EXPECT_FALSE(IncludeSearch::restore_text(*header));
}

// A file with no size (a pipe, a device) grows its buffer until it ends;
// a stream without a descriptor is a file that cannot be read.
TEST(IncludeSearch, ReadsStreamsOfUnknownSizeWhole) {
  std::string text(200000, 'a');
  for (std::size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<char>(i);
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  // More than a pipe holds: the reader takes it in pieces while it is written.
  std::thread writer([&] {
    for (std::size_t done = 0; done < text.size();) {
      const ssize_t wrote = write(ends[1], text.data() + done, text.size() - done);
      if (wrote <= 0) break;
      done += static_cast<std::size_t>(wrote);
    }
    close(ends[1]);
  });
  const auto saved = run_io().open_input;
  run_io().open_input = [&](const std::string& name) {
    return name == "pipe.h" ? fdopen(ends[0], "r") : fmemopen(text.data(), text.size(), "r");
  };
  IncludeSearch search;
  const HeaderFile* header = search.open("pipe.h");
  const HeaderFile* no_descriptor = search.open("memory.h");
  run_io().open_input = saved;
  writer.join();
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->text, text);
  EXPECT_EQ(no_descriptor, nullptr);
}

// A name in a subdirectory is tried only in the directories that have that
// subdirectory, and each directory is asked once.
TEST(IncludeSearch, TriesOnlyDirectoriesThatHoldTheSubdirectory) {
  std::string text = "int x;\n";
  std::vector<std::string> opened;
  std::vector<std::string> asked;
  const RunIo saved = run_io();
  run_io().open_input = [&](const std::string& name) -> std::FILE* {
    opened.push_back(name);
    return name.starts_with("b/") ? testing::memory_file(text) : nullptr;
  };
  run_io().is_directory = [&](const std::string& name) {
    asked.push_back(name);
    return name == "b/sub" || name == "inc/sub";
  };
  IncludeSearch search;
  search.add_directory("a");
  search.add_directory("b");
  EXPECT_EQ(search.find("sub/h.h", false, "inc", 0).chain_index, 1);
  EXPECT_EQ(search.find("sub/i.h", false, "inc", 0).chain_index, 1);
  EXPECT_EQ(search.find("sub/j.h", true, "src", 0).chain_index, 1);
  EXPECT_EQ(search.find("top.h", false, "inc", 0).chain_index, 1);
  run_io() = saved;
  EXPECT_EQ(opened, (std::vector<std::string>{"b/sub/h.h", "b/sub/i.h", "b/sub/j.h", "a/top.h", "b/top.h"}));
  EXPECT_EQ(asked, (std::vector<std::string>{"a/sub", "b/sub", "src/sub"}));
}

// find gives each question the answer it gave before without trying a path
// again, and questions that differ in any argument get answers of their own.
TEST(IncludeSearch, AnswersAQuestionAskedBeforeWithoutTryingPathsAgain) {
  std::string text = "int x;\n";
  std::vector<std::string> opened;
  const RunIo saved = run_io();
  run_io().open_input = [&](const std::string& name) -> std::FILE* {
    opened.push_back(name);
    const bool exists = name == "a/x.h" || name == "b/x.h" || name == "inc/x.h" || name == "b/sub/y.h";
    return exists ? testing::memory_file(text) : nullptr;
  };
  run_io().is_directory = [](const std::string& name) {
    return name == "b/sub";
  };
  IncludeSearch search;
  search.add_directory("a");
  search.add_directory("b");
  struct Question {
    std::string_view name;
    bool quoted;
    std::string_view includer_dir;
    std::size_t start;
    int chain_index;
    bool found;
  };
  const Question questions[] = {
      {"x.h", false, "", 0, 0, true},      {"x.h", false, "", 1, 1, true},
      {"x.h", false, "", 2, -1, false},    {"x.h", true, "inc", 0, -1, true},
      {"x.h", true, "src", 0, 0, true},    {"x.h", true, "src", 1, 1, true},
      {"cx.h", true, "in", 0, -1, false},  {"sub/y.h", false, "inc", 0, 1, true},
      {"sub/y.h", true, "b", 0, -1, true}, {"z.h", false, "", 0, -1, false},
  };
  std::vector<FoundHeader> first;
  for (const Question& question : questions) {
    first.push_back(search.find(question.name, question.quoted, question.includer_dir, question.start));
  }
  const std::size_t opens = opened.size();
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = 0; i < std::size(questions); ++i) {
      const Question& question = questions[i];
      const FoundHeader found =
          search.find(question.name, question.quoted, question.includer_dir, question.start);
      EXPECT_EQ(found.file, first[i].file) << i;
      EXPECT_EQ(found.chain_index, question.chain_index) << i;
      EXPECT_EQ(found.file != nullptr, question.found) << i;
    }
  }
  run_io() = saved;
  EXPECT_EQ(opened.size(), opens);
  EXPECT_EQ(first[0].file->path, "a/x.h");
  EXPECT_EQ(first[3].file->path, "inc/x.h");
  EXPECT_EQ(first[8].file->path, "b/sub/y.h");
}

// -iquote directories serve quoted names only, system directories mark what
// they hold, and a file that exists but cannot be read ends the search with
// its reason, as it does for the C compiler.
TEST(IncludeSearch, KnowsQuoteAndSystemDirectoriesAndStopsAtAnUnreadableFile) {
  const std::string text = "int x;\n";
  const RunIo saved = run_io();
  run_io().open_input = [&](const std::string& name) -> std::FILE* {
    if (name == "deny/d.h") errno = EACCES;
    const bool exists = name == "q/a.h" || name == "i/a.h" || name == "s/b.h" || name == "i/c.h" ||
                        name == "after/d.h" || name == "s/e.h";
    return exists ? testing::memory_file(text) : nullptr;
  };
  IncludeSearch search;
  search.add_directory("q", SearchDirKind::quote);
  search.add_directory("i", SearchDirKind::bracket);
  search.add_directory("deny", SearchDirKind::bracket);
  search.add_directory("s", SearchDirKind::system);
  search.add_directory("after", SearchDirKind::system);
  search.add_directory("s", SearchDirKind::bracket);  // already there: ignored
  ASSERT_EQ(search.bracket_start(), 1U);
  EXPECT_EQ(search.find("a.h", true, "", 0).chain_index, 0);
  const FoundHeader bracketed = search.find("a.h", false, "", search.bracket_start());
  EXPECT_EQ(bracketed.chain_index, 1);
  EXPECT_FALSE(bracketed.system);
  const FoundHeader system = search.find("b.h", false, "", 1);
  EXPECT_EQ(system.chain_index, 3);
  EXPECT_TRUE(system.system);
  const FoundHeader denied = search.find("d.h", false, "", 1);
  EXPECT_EQ(denied.file, nullptr);
  EXPECT_EQ(denied.error, EACCES);
  const FoundHeader missing = search.find("none.h", true, "", 0);
  EXPECT_EQ(missing.file, nullptr);
  EXPECT_EQ(missing.error, ENOENT);
  // A directory named with -I that comes again as a system directory moves
  // to the end of the chain as one.
  search.add_directory("i", SearchDirKind::system);
  const FoundHeader moved = search.find("c.h", false, "", 1);
  EXPECT_TRUE(moved.system);
  EXPECT_EQ(moved.chain_index, 4);
  EXPECT_EQ(search.find("e.h", false, "", 1).chain_index, 2);
  run_io() = saved;
}

}  // namespace
}  // namespace sornik::cmode
