#include "cmode/macro/definition_files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace sornik::cmode {
namespace {

TEST(DefinitionFiles, EntersEachNameAndKindOnce) {
  DefinitionFiles files;
  EXPECT_EQ(files[0].name, "<built-in>");
  const std::uint32_t header = files.enter("a.h", false, false, true);
  EXPECT_EQ(files.enter("a.h", false, false, true), header);
  EXPECT_NE(files.enter("a.h", true, false, true), header);
  EXPECT_NE(files.add("a.h", false, false, true), header);
  EXPECT_TRUE(files[header].in_focus);
  EXPECT_FALSE(files.focus_narrowed());
}

TEST(DefinitionFiles, FocusLeavesOutSystemHeadersAndFilesOutsideThePaths) {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "sornik_focus_test";
  std::filesystem::create_directories(root / "lib" / "sub");
  std::filesystem::create_directories(root / "library");
  for (const char* name : {"lib/a.h", "lib/sub/b.h", "library/c.h"}) std::ofstream(root / name) << "\n";
  DefinitionFiles files;
  files.set_focus({true, {(root / "lib/").string()}});
  EXPECT_TRUE(files.focus_narrowed());
  EXPECT_FALSE(files[0].in_focus);
  const auto in_focus = [&](const std::filesystem::path& name, bool system = false, bool source = false) {
    return files[files.add(name.string(), system, source, true)].in_focus;
  };
  EXPECT_TRUE(in_focus(root / "lib/a.h"));
  EXPECT_TRUE(in_focus(root / "lib/sub/../sub/b.h"));
  EXPECT_FALSE(in_focus(root / "library/c.h"));
  EXPECT_FALSE(in_focus(root / "lib/a.h", true));
  EXPECT_TRUE(in_focus(root / "library/c.h", false, true));
  EXPECT_FALSE(files[files.enter("<command line>", false, false, false)].in_focus);
  DefinitionFiles system_only;
  system_only.set_focus({true, {}});
  EXPECT_TRUE(system_only[0].in_focus);
  EXPECT_TRUE(system_only[system_only.add("x.h", false, false, true)].in_focus);
  EXPECT_FALSE(system_only[system_only.add("x.h", true, false, true)].in_focus);
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace sornik::cmode
