#include "app/compile_database.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace sornik {
namespace {

class CompileDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("sornik-db-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Reads `text` as a database; the error, or "" when it was read.
  std::string read(const std::string& text) {
    const std::string path = (dir_ / "compile_commands.json").string();
    std::ofstream(path) << text;
    database_ = {};
    std::string error;
    if (read_compile_database(path, database_, error)) return "";
    return error.substr(error.find("compile_commands.json"));
  }

  std::filesystem::path dir_;
  CompileDatabase database_;
};

TEST_F(CompileDatabaseTest, CommandAndArgumentsEntriesGiveWords) {
  ASSERT_EQ(read(R"([{"directory": "/p/b", "file": "../s/a.c", "command": "cc -DX='1 2' -c ../s/a.c"},
                     {"directory": "/p", "file": "/p/s/b.c", "arguments": ["c++", "-I", "inc", "s/b.c"]}])"),
            "");
  ASSERT_EQ(database_.entries.size(), 2U);
  const CompileEntry& first = database_.entries[0];
  EXPECT_EQ(first.full_path, "/p/s/a.c");
  EXPECT_EQ(first.file, "../s/a.c");
  EXPECT_EQ(first.arguments, (std::vector<std::string>{"cc", "-DX=1 2", "-c", "../s/a.c"}));
  EXPECT_EQ(database_.entries[1].arguments.front(), "c++");
  EXPECT_EQ(entry_of(database_, "/p/s/b.c"), &database_.entries[1]);
  EXPECT_EQ(entry_of(database_, "/p/s/../s/a.c"), &database_.entries[0]);
  EXPECT_EQ(entry_of(database_, "/p/s/c.c"), nullptr);
}

TEST_F(CompileDatabaseTest, SyntaxErrorsNameLineAndColumn) {
  EXPECT_EQ(read("[\n  {\"file\": \"a.c\",,}\n]").substr(0, 27), "compile_commands.json:2:18:");
  EXPECT_EQ(read("[").substr(0, 25), "compile_commands.json:1:2");
  EXPECT_EQ(read("{}"), "compile_commands.json: not a list of entries");
  EXPECT_EQ(read("[]"), "");
}

TEST_F(CompileDatabaseTest, IncompleteEntriesNameTheEntry) {
  const std::string good = R"({"directory": "/d", "file": "a.c", "command": "cc a.c"})";
  EXPECT_EQ(read("[" + good + R"(, {"file": "a.c", "command": "cc"}])"),
            "compile_commands.json: entry 2: no \"directory\"");
  EXPECT_EQ(read(R"([{"directory": "/d", "command": "cc"}])"), "compile_commands.json: entry 1: no \"file\"");
  EXPECT_EQ(read(R"([{"directory": "/d", "file": "a.c"}])"),
            "compile_commands.json: entry 1: neither \"command\" nor \"arguments\"");
  EXPECT_EQ(read(R"([{"directory": "/d", "file": 3, "command": "cc"}])"),
            "compile_commands.json: entry 1: \"file\" is not a string");
  EXPECT_EQ(read(R"([{"directory": "/d", "file": "a.c", "arguments": ["cc", 1]}])"),
            "compile_commands.json: entry 1: \"arguments\" is not a list of words");
  EXPECT_EQ(read(R"([{"directory": "/d", "file": "a.c", "arguments": []}])"),
            "compile_commands.json: entry 1: \"arguments\" is not a list of words");
  EXPECT_EQ(read(R"([{"directory": "/d", "file": "a.c", "command": "cc 'a.c"}])"),
            "compile_commands.json: entry 1: \"command\" leaves a quote open");
  EXPECT_EQ(read(R"([{"directory": "/d", "file": "a.c", "command": " "}])"),
            "compile_commands.json: entry 1: \"command\" is empty");
  EXPECT_EQ(read("[3]"), "compile_commands.json: entry 1: not an object");
}

TEST_F(CompileDatabaseTest, NearestEntryLooksInTheFolderThenUpward) {
  ASSERT_EQ(read(R"([{"directory": "/p", "file": "/p/lib/x/a.c", "command": "cc"},
                     {"directory": "/p", "file": "/p/src/b.c", "command": "cc"},
                     {"directory": "/p", "file": "/p/src/c.c", "command": "cc"}])"),
            "");
  EXPECT_EQ(nearest_entry(database_, "/p/src/d.h"), &database_.entries[1]);
  EXPECT_EQ(nearest_entry(database_, "/p/lib/x/y/e.h"), &database_.entries[0]);
  // Above lib/y/ the first entry under /p/lib/ serves.
  EXPECT_EQ(nearest_entry(database_, "/p/lib/y/f.h"), &database_.entries[0]);
  EXPECT_EQ(nearest_entry(database_, "/p/g.h"), &database_.entries[0]);
  // /p/sr is no folder of /p/src/b.c.
  EXPECT_EQ(nearest_entry(database_, "/p/sr/h.h"), &database_.entries[0]);
  // The root holds every entry.
  EXPECT_EQ(nearest_entry(database_, "/q/h.h"), &database_.entries[0]);
  EXPECT_EQ(nearest_entry(CompileDatabase(), "/p/src/d.h"), nullptr);
  EXPECT_EQ(resolve_path("/a/b", "../c/./d.c"), "/a/c/d.c");
  EXPECT_EQ(resolve_path("/a/b", "/e.c"), "/e.c");
}

}  // namespace
}  // namespace sornik
