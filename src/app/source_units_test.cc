#include "app/source_units.h"

#include <gtest/gtest.h>

namespace sornik {
namespace {

CompileEntry entry(std::vector<std::string> arguments, std::string file = "src/a.c") {
  CompileEntry made{"/p/build", file, resolve_path("/p/build", file), std::move(arguments)};
  return made;
}

CppOptions command_line(std::vector<std::string> args) {
  CppOptions options;
  std::string error;
  EXPECT_TRUE(parse_cpp_options(args, options, error)) << error;
  return options;
}

TEST(SourceUnits, EntryPathsResolveAgainstItsDirectoryAndItsOutputIsIgnored) {
  CppOptions options;
  std::string error;
  ASSERT_TRUE(options_of_entry(entry({"cc", "-Iinc", "-I/abs", "-iquote", "q", "-isystem", "../s",
                                      "-idirafter", "d", "-include", "pre.h", "-o", "a.o", "-c", "src/a.c"}),
                               command_line({"-f", "$x", "-DZ"}), options, error))
      << error;
  EXPECT_EQ(options.include_dirs, (std::vector<std::string>{"/p/build/inc", "/abs"}));
  EXPECT_EQ(options.quote_dirs, (std::vector<std::string>{"/p/build/q"}));
  EXPECT_EQ(options.system_dirs, (std::vector<std::string>{"/p/s"}));
  EXPECT_EQ(options.after_dirs, (std::vector<std::string>{"/p/build/d"}));
  EXPECT_EQ(options.include_files, (std::vector<std::string>{"/p/build/pre.h"}));
  EXPECT_EQ(options.output, "");
  EXPECT_EQ(options.format, "$x");
  ASSERT_EQ(options.settings.size(), 1U);
  EXPECT_EQ(options.settings[0].value, "Z");
  ASSERT_EQ(options.sources.size(), 1U);
}

TEST(SourceUnits, CommandLineComesAfterTheEntryAndItsStandardWins) {
  CppOptions options;
  std::string error;
  ASSERT_TRUE(options_of_entry(entry({"cc", "-DA=1", "-std=c99", "-O2", "-I", "e"}),
                               command_line({"-UA", "-std=c11", "-I", "/c"}), options, error));
  ASSERT_EQ(options.settings.size(), 2U);
  EXPECT_EQ(options.settings[1].kind, CppOptions::Setting::Kind::undefine);
  EXPECT_EQ(options.standard, "c11");
  EXPECT_EQ(options.include_dirs, (std::vector<std::string>{"/p/build/e", "/c"}));
  EXPECT_EQ(options.compiler_flags, (std::vector<std::string>{"-O2"}));
  EXPECT_FALSE(options_of_entry(entry({"cc", "--bogus"}), command_line({}), options, error));
}

// The entry's -p is gcc's profiling flag, and its -Wp, words act after its
// own -D and -U; the resolved directories of both.
TEST(SourceUnits, EntryReadsMinusPAndWpAsGccDoes) {
  CppOptions options;
  std::string error;
  ASSERT_TRUE(options_of_entry(entry({"cc", "-p", "src/a.c", "-Wp,-UA,-Iwp", "-DA"}), command_line({}),
                               options, error))
      << error;
  ASSERT_EQ(options.sources.size(), 1U);
  ASSERT_EQ(options.settings.size(), 2U);
  EXPECT_EQ(options.settings[1].kind, CppOptions::Setting::Kind::undefine);
  EXPECT_EQ(options.include_dirs, (std::vector<std::string>{"/p/build/wp"}));
}

TEST(SourceUnits, EntryCompilerRunsOnlyWhenAQueryDriverGlobMatches) {
  const CompileEntry named = entry({"../tools/gcc-12", "-c", "src/a.c"});
  CppOptions options;
  std::string error;
  ASSERT_TRUE(options_of_entry(named, command_line({"--compiler=cc"}), options, error));
  EXPECT_EQ(options.compiler, "cc");
  options = {};
  ASSERT_TRUE(
      options_of_entry(named, command_line({"--query-driver=/usr/*,/p/tools/gcc-*"}), options, error));
  EXPECT_EQ(options.compiler, "/p/tools/gcc-12");
  options = {};
  ASSERT_TRUE(options_of_entry(named, command_line({"--query-driver=/p/tools/gcc"}), options, error));
  EXPECT_EQ(options.compiler, "");
}

TEST(SourceUnits, EqualOptionsAreSharedAndALanguageComesFromTheEntry) {
  CompileDatabase database{
      "db.json",
      {entry({"cc", "-DA", "-c", "src/a.c"}), entry({"cc", "-DA", "src/b.c"}, "src/b.c"),
       entry({"cc", "-DB", "src/c.c"}, "src/c.c"), entry({"c++", "-x", "c++", "d.c"}, "d.c")}};
  std::vector<SourceUnit> units;
  std::string error;
  ASSERT_TRUE(plan_units(command_line({}), &database, units, error));
  ASSERT_EQ(units.size(), 4U);
  EXPECT_EQ(units[0].options, units[1].options);
  EXPECT_NE(units[1].options, units[2].options);
  EXPECT_EQ(units[0].path, "/p/build/src/a.c");
  EXPECT_EQ(units[0].shown, "src/a.c");
  EXPECT_EQ(units[3].entry, &database.entries[3]);
  EXPECT_EQ(units[3].options->sources.front().language, CppOptions::Language::cxx);
  EXPECT_EQ(units[2].options->sources.front().language, CppOptions::Language::c);

  units.clear();
  database.entries.push_back(entry({"cc", "-Q"}, "e.c"));
  EXPECT_FALSE(plan_units(command_line({}), &database, units, error));
  EXPECT_EQ(error, "db.json: entry 5: unrecognized command-line option '-Q'");
}

TEST(SourceUnits, FileMacroNamesASourceAsItsOwnCompileCommandDoes) {
  // The entry's file is absolute, its command names the source relatively:
  // __FILE__ follows the command, messages the name given.
  const CompileDatabase database{
      "db.json", {entry({"cc", "-c", "../src/a.c"}, "/p/src/a.c"), entry({"cc", "b.c"}, "b.c")}};
  std::vector<SourceUnit> units;
  std::string error;
  ASSERT_TRUE(plan_units(command_line({}), &database, units, error));
  ASSERT_EQ(units.size(), 2U);
  EXPECT_EQ(units[0].shown, "/p/src/a.c");
  EXPECT_EQ(units[0].presumed, "../src/a.c");
  units.clear();
  ASSERT_TRUE(plan_units(command_line({"/p/src/a.c", "/p/build/c.c", "-"}), &database, units, error));
  ASSERT_EQ(units.size(), 3U);
  EXPECT_EQ(units[0].presumed, "../src/a.c");
  // A source without an entry borrows the flags of another, not its name.
  EXPECT_EQ(units[1].presumed, "/p/build/c.c");
  units.clear();
  ASSERT_TRUE(plan_units(command_line({"x.c", "-"}), nullptr, units, error));
  EXPECT_EQ(units[0].presumed, "x.c");
  EXPECT_EQ(units[1].presumed, "<stdin>");
}

}  // namespace
}  // namespace sornik
