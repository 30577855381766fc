// Tests of loading compiler facts through a stand-in compiler that logs each call.
#include "cmode/facts/facts_source.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "captured_io.h"
#include "cmode/facts/configured_facts.h"

namespace sornik::cmode {
namespace {

using namespace std::chrono_literals;

// A folder with a stand-in compiler that logs each call, and a cache.
class FactsSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "sornik-facts-source-" + std::to_string(getpid());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    compiler_ = dir_ + "/fake-cc";
    write_compiler("");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The stand-in answers as gcc does: macros and the search list for -dM,
  // the expansion of a probe for -P (only __has_attribute(known) is 1).
  void write_compiler(const std::string& extra) {
    std::ofstream script(compiler_, std::ios::binary | std::ios::trunc);
    script << "#!/bin/sh\necho \"$*\" >> '" << log() << "'\n"
           << extra << "case \"$*\" in\n"
           << "  *-dM*) echo '#define __FAKE__ 1'\n"
           << "    printf '#include <...> search starts here:\\n /fake/include\\nEnd of search list.\\n' >&2 "
              ";;\n"
           << "  *-P*) sed 's/__has_attribute(known)/1/; s/__has_[a-z_]*([a-z_:]*)/0/' ;;\n"
           << "esac\n";
    script.close();
    chmod(compiler_.c_str(), 0755);
  }
  std::string log() const { return dir_ + "/log"; }
  int calls() const {
    std::ifstream in(log());
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
  }
  FactsRequest request(const std::string& compiler) const {
    FactsRequest request;
    request.compiler = compiler;
    return request;
  }
  std::string cache() const { return dir_ + "/cache"; }

  std::string dir_;
  std::string compiler_;
};

TEST_F(FactsSourceTest, AsksOnceAndThenReadsTheCache) {
  std::string error;
  {
    FactsSource facts(request(compiler_), cache());
    ASSERT_TRUE(facts.load(error)) << error;
    EXPECT_EQ(facts.facts().macros, "#define __FAKE__ 1\n");
    EXPECT_EQ(facts.facts().system_dirs, std::vector<std::string>{"/fake/include"});
    // The facts, then the common feature tests in one probe.
    EXPECT_EQ(calls(), 2);
    EXPECT_EQ(facts.feature("__has_builtin(__builtin_expect)"), "0");
    EXPECT_EQ(calls(), 2);
    EXPECT_EQ(facts.feature("__has_attribute(known)"), "1");
    EXPECT_EQ(facts.feature("__has_attribute(unknown)"), "0");
    EXPECT_EQ(facts.feature("__has_attribute(known)"), "1");
    facts.learn_features({"__has_builtin(a)", "__has_builtin(b)", "__has_attribute(known)"});
    EXPECT_EQ(calls(), 5);
    facts.save();
  }
  {
    FactsSource facts(request(compiler_), cache());
    ASSERT_TRUE(facts.load(error));
    EXPECT_EQ(facts.facts().macros, "#define __FAKE__ 1\n");
    EXPECT_EQ(facts.feature("__has_attribute(known)"), "1");
    EXPECT_EQ(facts.feature("__has_builtin(b)"), "0");
    EXPECT_EQ(calls(), 5);
  }
  // Another request of the same compiler is another entry.
  FactsRequest strict = request(compiler_);
  strict.standard = "c99";
  FactsSource other(strict, cache());
  ASSERT_TRUE(other.load(error));
  EXPECT_EQ(calls(), 7);
  std::ifstream in(log());
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "-x c -dM -E -v -");
}

TEST_F(FactsSourceTest, AsksAgainWhenTheCompilerChanges) {
  std::string error;
  FactsSource(request(compiler_), cache()).load(error);
  write_compiler("# a new version\n");
  FactsSource changed(request(compiler_), cache());
  ASSERT_TRUE(changed.load(error));
  EXPECT_EQ(calls(), 4);
  // Without a cache every run asks.
  FactsSource(request(compiler_), "").load(error);
  FactsSource(request(compiler_), "").load(error);
  EXPECT_EQ(calls(), 8);
}

TEST_F(FactsSourceTest, ANamedCompilerThatGivesNoFactsIsAnError) {
  const auto error_of = [&](const std::string& compiler, std::chrono::milliseconds limit = 10s) {
    FactsSource facts(request(compiler), cache(), limit);
    std::string error;
    EXPECT_FALSE(facts.load(error));
    std::string again;
    EXPECT_FALSE(facts.load(again));
    EXPECT_EQ(again, error);
    return error;
  };
  EXPECT_EQ(error_of(dir_ + "/missing-cc"), "cannot run the compiler '" + dir_ + "/missing-cc': not found");
  write_compiler("echo 'cc: error: bad option' >&2; exit 4\n");
  EXPECT_EQ(error_of(compiler_ + " --bad"),
            "the compiler '" + compiler_ + " --bad' failed (exit status 4): cc: error: bad option");
  write_compiler("exit 0\n");
  EXPECT_EQ(error_of(compiler_),
            "the compiler '" + compiler_ + "' did not list its include directories as a C compiler does");
  write_compiler("sleep 20\n");
  EXPECT_EQ(error_of(compiler_, 200ms), "the compiler '" + compiler_ + "' gave no answer within 0.2 s");
  write_compiler("kill -9 $$\n");
  EXPECT_EQ(error_of(compiler_), "the compiler '" + compiler_ + "' was stopped by signal 9");
  EXPECT_FALSE(std::filesystem::exists(cache()));
}

TEST_F(FactsSourceTest, WithoutADefaultCompilerTheBuildsFactsApplyWithANote) {
  const char* path = std::getenv("PATH");
  const std::string saved = path != nullptr ? path : "";
  setenv("PATH", dir_.c_str(), 1);
  testing::CapturedIo io;
  FactsSource facts(FactsRequest{}, cache());
  std::string error;
  EXPECT_TRUE(facts.load(error));
  setenv("PATH", saved.c_str(), 1);
  EXPECT_EQ(error, "");
  EXPECT_EQ(io.err(),
            "sornik: note: cannot run the compiler 'cc': not found; the predefined macros and include "
            "directories found when sornik was built apply\n");
  // Tests the build did not ask about give 0, and nothing is cached.
  EXPECT_EQ(facts.feature("__has_attribute(never_heard_of)"), "0");
  EXPECT_FALSE(std::filesystem::exists(cache()));
}

TEST_F(FactsSourceTest, WithoutCompilerRunsTheBuildsFactsApplyQuietly) {
  allow_compiler_runs(false);
  testing::CapturedIo io;
  FactsSource facts(request(compiler_), cache());
  std::string error;
  const bool loaded = facts.load(error);
  const std::string_view unknown = facts.feature("__has_attribute(known)");
  allow_compiler_runs(true);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(unknown, "0");
  EXPECT_EQ(facts.facts().macros, configured_facts(SourceLanguage::c).macros);
  EXPECT_EQ(io.err(), "");
  EXPECT_EQ(calls(), 0);
  EXPECT_FALSE(std::filesystem::exists(cache()));
}

}  // namespace
}  // namespace sornik::cmode
