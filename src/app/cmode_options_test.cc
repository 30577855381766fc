#include "app/cmode_options.h"

#include <gtest/gtest.h>

namespace sornik {
namespace {

// The parsed options as one line, or "error: ..." for a refused command line.
std::string parse(std::vector<std::string> args) {
  CppOptions options;
  std::string error;
  if (!parse_cpp_options(args, options, error)) return "error: " + error;
  std::string out;
  for (const CppOptions::Setting& setting : options.settings) {
    out += setting.kind == CppOptions::Setting::Kind::define     ? "D:"
           : setting.kind == CppOptions::Setting::Kind::undefine ? "U:"
                                                                 : "d:";
    out += setting.value + " ";
  }
  for (const std::string& dir : options.include_dirs) out += "I:" + dir + " ";
  if (options.has_format) out += "f:" + options.format + " ";
  if (options.list_file_names) out += "l ";
  if (options.no_system_dirs) out += "nostdinc ";
  if (options.print_defines) out += "print ";
  if (options.undef) out += "undef ";
  if (!options.compiler.empty()) out += "compiler:" + options.compiler + " ";
  for (const std::string& source : options.sources) out += "[" + source + "]";
  return out;
}

TEST(CppOptions, FollowGnuConventions) {
  EXPECT_EQ(parse({"-I", "inc", "src/main.c"}), "I:inc [src/main.c]");
  EXPECT_EQ(parse({"-Ia", "-DX=1", "-U", "Y", "-dh.h", "-D", "Z", "-d", "g.h", "a.c", "b.c"}),
            "D:X=1 U:Y d:h.h D:Z d:g.h I:a [a.c][b.c]");
  EXPECT_EQ(parse({"-l", "-f", "$x", "-nostdinc", "--print-defines"}), "f:$x l nostdinc print ");
  EXPECT_EQ(parse({"-f$n", "a.c", "-l", "-Dx"}), "f:$n [a.c][-l][-Dx]");
  EXPECT_EQ(parse({"--", "-l", "a.c"}), "[-l][a.c]");
  EXPECT_EQ(parse({"-", "a.c"}), "[-][a.c]");
  EXPECT_EQ(parse({}), "");
  EXPECT_EQ(parse({"-undef", "--compiler=ccache gcc -m32", "a.c"}), "undef compiler:ccache gcc -m32 [a.c]");
}

TEST(CppOptions, RefuseUnknownOptionsAndMissingValues) {
  EXPECT_EQ(parse({"-x", "a.c"}), "error: unrecognized command-line option '-x'");
  EXPECT_EQ(parse({"--cpp"}), "error: unrecognized command-line option '--cpp'");
  EXPECT_EQ(parse({"-I"}), "error: missing argument to '-I'");
  EXPECT_EQ(parse({"a", "-d"}), "[a][-d]");
  EXPECT_EQ(parse({"-d"}), "error: missing argument to '-d'");
  EXPECT_EQ(parse({"--compiler= "}), "error: missing argument to '--compiler='");
  EXPECT_EQ(parse({"--compiler", "gcc"}), "error: unrecognized command-line option '--compiler'");
}

}  // namespace
}  // namespace sornik
