#include "app/cmode_options.h"

#include <gtest/gtest.h>

namespace sornik {
namespace {

void append_all(std::string& out, std::string_view tag, const std::vector<std::string>& values) {
  for (const std::string& value : values) out += std::string(tag) + value + " ";
}

// The parsed options as one line, or "error: ..." for a refused command line.
std::string parse(std::vector<std::string> args) {
  CppOptions options;
  std::string error;
  if (!parse_cpp_options(args, options, error)) return "error: " + error;
  std::string out;
  for (const CppOptions::Setting& setting : options.settings) {
    out += setting.kind == CppOptions::Setting::Kind::define ? "D:" : "U:";
    out += setting.value + " ";
  }
  append_all(out, "imacros:", options.macro_files);
  append_all(out, "include:", options.include_files);
  append_all(out, "iquote:", options.quote_dirs);
  append_all(out, "I:", options.include_dirs);
  append_all(out, "isystem:", options.system_dirs);
  append_all(out, "idirafter:", options.after_dirs);
  if (!options.standard.empty()) out += "std:" + options.standard + " ";
  append_all(out, "cc:", options.compiler_flags);
  if (!options.output.empty()) out += "o:" + options.output + " ";
  if (options.has_format) out += "f:" + options.format + " ";
  if (options.list_file_names) out += "l ";
  if (options.no_system_dirs) out += "nostdinc ";
  if (options.print_defines) out += "print ";
  if (options.html) out += "html ";
  if (options.help) out += "help ";
  if (options.undef) out += "undef ";
  if (options.trigraphs) out += "trigraphs ";
  if (options.keep_comments) out += "C ";
  if (options.show_headers) out += "H ";
  if (!options.compiler.empty()) out += "compiler:" + options.compiler + " ";
  for (const CppOptions::Source& source : options.sources) {
    out += "[" + source.name + (source.language == CppOptions::Language::cxx ? "+" : "") + "]";
  }
  return out;
}

TEST(CppOptions, FollowGnuConventions) {
  EXPECT_EQ(parse({"-I", "inc", "src/main.c"}), "I:inc [src/main.c]");
  EXPECT_EQ(parse({"-Ia", "-DX=1", "-U", "Y", "-dh.h", "-D", "Z", "-d", "g.h", "a.c", "b.c"}),
            "D:X=1 U:Y D:Z imacros:h.h imacros:g.h I:a [a.c][b.c]");
  EXPECT_EQ(parse({"-l", "-f", "$x", "-nostdinc", "--print-defines", "--help", "--html"}),
            "f:$x l nostdinc print html help ");
  // Options may follow the files; `--` ends them, and `-` is standard input.
  EXPECT_EQ(parse({"a.c", "-l", "-Dx", "-", "b.c"}), "D:x l [a.c][-][b.c]");
  EXPECT_EQ(parse({"-l", "--", "-l", "-"}), "l [-l][-]");
  EXPECT_EQ(parse({}), "");
  EXPECT_EQ(parse({"-undef", "--compiler=ccache gcc -m32", "a.c"}), "undef compiler:ccache gcc -m32 [a.c]");
  EXPECT_EQ(parse({"-trigraphs", "a.c", "-Wp,-trigraphs"}), "trigraphs [a.c]");
  // gcc knows no -no-trigraphs.
  EXPECT_EQ(parse({"-no-trigraphs"}), "error: unrecognized command-line option '-no-trigraphs'");
  EXPECT_EQ(parse({"-C", "a.c"}), "C [a.c]");
  // gcc's dumps: -dM lists the macros; a -d value of other letters is a file.
  EXPECT_EQ(parse({"-dM", "a.c"}), "print [a.c]");
  EXPECT_EQ(parse({"-dDI", "-dN", "a.c"}), "[a.c]");
  EXPECT_EQ(parse({"-dMa", "-dm"}), "imacros:Ma imacros:m ");
  EXPECT_EQ(parse({"a.c", "-Wp,-C", "-H"}), "C H [a.c]");
  EXPECT_EQ(parse({"-Wp,-H"}), "H ");
  // Comments in replacement lists too (-CC) are not kept.
  EXPECT_EQ(parse({"-CC"}), "error: unrecognized command-line option '-CC'");
}

TEST(CppOptions, TakeGccPreprocessingOptions) {
  EXPECT_EQ(parse({"-include", "a.h", "-includeb.h", "-imacros", "m.h", "-imacrosn.h"}),
            "imacros:m.h imacros:n.h include:a.h include:b.h ");
  EXPECT_EQ(parse({"-idirafter", "z", "-isystem", "s", "-iquote", "q", "-I", "i", "-iquoteq2", "-isystems2"}),
            "iquote:q iquote:q2 I:i isystem:s isystem:s2 idirafter:z ");
  EXPECT_EQ(parse({"-o", "out.txt", "-oother"}), "o:other ");
  EXPECT_EQ(parse({"-std=c99"}), "std:c99 ");
  EXPECT_EQ(parse({"-std=c11", "-ansi"}), "std:ansi ");
  EXPECT_EQ(parse({"-ansi", "-std=gnu++17"}), "std:gnu++17 ");
  EXPECT_EQ(parse({"-std=c++99"}), "error: unrecognized command-line option '-std=c++99'");
  EXPECT_EQ(parse({"-std=ansi"}), "error: unrecognized command-line option '-std=ansi'");
  EXPECT_EQ(parse({"-std="}), "error: unrecognized command-line option '-std='");
}

TEST(CppOptions, ChooseTheLanguageByXOrSuffix) {
  EXPECT_EQ(parse({"a.c", "b.cc", "c.cpp", "d.h", "e.hpp", "f.C", "g", "dir.cc/h"}),
            "[a.c][b.cc+][c.cpp+][d.h][e.hpp+][f.C+][g][dir.cc/h]");
  EXPECT_EQ(parse({"-x", "c++", "a.c", "-xc", "b.cc", "-x", "none", "c.cc", "-x", "c-header", "d.hpp"}),
            "[a.c+][b.cc][c.cc+][d.hpp]");
  EXPECT_EQ(parse({"-x", "fortran", "a.f"}), "error: language fortran not recognized");
}

TEST(CppOptions, IgnoreCompilerFlagsKeepingThoseThatChangeMacros) {
  EXPECT_EQ(parse({"-c",
                   "-E",
                   "-g",
                   "-g3",
                   "-O2",
                   "-Os",
                   "-Wall",
                   "-Wno-unused",
                   "-w",
                   "-march=native",
                   "-m64",
                   "-fPIC",
                   "-fno-strict-aliasing",
                   "-pthread",
                   "-pedantic",
                   "-pedantic-errors",
                   "-pipe",
                   "-MD",
                   "-MMD",
                   "-MP",
                   "-MF",
                   "dep.d",
                   "-MT",
                   "x.o",
                   "-MQ",
                   "$y.o",
                   "-MFdep2.d",
                   "main.c"}),
            "cc:-O2 cc:-Os cc:-march=native cc:-m64 cc:-fPIC cc:-fno-strict-aliasing cc:-pthread [main.c]");
  // An attached -fxxx is a compiler flag; the format is -f FORMAT or --format=.
  EXPECT_EQ(parse({"-fPIC", "-f", "<$x>", "a.c"}), "cc:-fPIC f:<$x> [a.c]");
  EXPECT_EQ(parse({"--format=$n=$x"}), "f:$n=$x ");
  EXPECT_EQ(parse({"--format="}), "f: ");
}

// The -W options of the warnings the C mode gives: on, off, as errors.
TEST(CppOptions, TakeTheWarningOptions) {
  const auto rules_of = [](std::vector<std::string> args) {
    CppOptions options;
    std::string error;
    EXPECT_TRUE(parse_cpp_options(args, options, error)) << error;
    return options.diagnostics;
  };
  const auto bit = [](Warning warning) {
    return DiagnosticRules::bit(warning);
  };
  const DiagnosticRules defaults = rules_of({});
  EXPECT_TRUE(defaults.gives(Warning::deprecated));
  EXPECT_FALSE(defaults.gives(Warning::undef));
  EXPECT_EQ(defaults.warnings_as_errors, 0U);

  const DiagnosticRules some = rules_of({"-Wundef", "-Wno-deprecated", "-Wcomments", "-Wunused-macros"});
  EXPECT_TRUE(some.gives(Warning::undef) && some.gives(Warning::comment) &&
              some.gives(Warning::unused_macros));
  EXPECT_FALSE(some.gives(Warning::deprecated));
  EXPECT_EQ(some.warnings_chosen, bit(Warning::undef) | bit(Warning::deprecated) | bit(Warning::comment) |
                                      bit(Warning::unused_macros));

  // -Werror=NAME gives the warning too; -Wno-error=NAME only takes the error back.
  const DiagnosticRules errors =
      rules_of({"-Werror=traditional", "-Werror=long-long", "-Wno-error=long-long"});
  EXPECT_TRUE(errors.gives(Warning::traditional));
  EXPECT_EQ(errors.warnings_as_errors, bit(Warning::traditional));
  EXPECT_FALSE(errors.warnings_are_errors);
  EXPECT_TRUE(rules_of({"-Werror"}).warnings_are_errors);
  // -Wno-error=NAME keeps the warning under -Werror, before it or after;
  // a -Werror=NAME after it takes it back.
  EXPECT_TRUE(rules_of({"-Werror"}).makes_error(Warning::cpp));
  EXPECT_FALSE(rules_of({"-Werror", "-Wno-error=cpp"}).makes_error(Warning::cpp));
  EXPECT_FALSE(rules_of({"-Wno-error=cpp", "-Werror"}).makes_error(Warning::cpp));
  EXPECT_TRUE(rules_of({"-Wno-error=cpp", "-Werror"}).makes_error(Warning::undef));
  EXPECT_TRUE(rules_of({"-Wno-error=cpp", "-Werror"}).makes_error(Warning::none));
  EXPECT_TRUE(rules_of({"-Werror", "-Wno-error=cpp", "-Werror=cpp"}).makes_error(Warning::cpp));
  EXPECT_FALSE(rules_of({"-Werror=cpp", "-Wno-error=cpp"}).makes_error(Warning::cpp));
  EXPECT_FALSE(defaults.makes_error(Warning::cpp));
  EXPECT_TRUE(rules_of({"-Wall"}).gives(Warning::comment));
  // -Wall turns on only the warnings that no option named before it turned off.
  EXPECT_FALSE(rules_of({"-Wno-comment", "-Wall"}).gives(Warning::comment));
  EXPECT_TRUE(rules_of({"-Wno-comment", "-Wall"}).gives(Warning::trigraphs));
  EXPECT_FALSE(rules_of({"-Wall", "-Wno-trigraphs"}).gives(Warning::trigraphs));
  EXPECT_FALSE(rules_of({"-Wno-cpp"}).gives(Warning::cpp));

  // -Wexpansion-to-defined comes with -Wextra or -pedantic unless named.
  EXPECT_FALSE(defaults.gives_with_extra(Warning::expansion_to_defined));
  EXPECT_TRUE(rules_of({"-Wextra"}).gives_with_extra(Warning::expansion_to_defined));
  EXPECT_TRUE(rules_of({"-pedantic"}).gives_with_extra(Warning::expansion_to_defined));
  EXPECT_FALSE(
      rules_of({"-Wno-expansion-to-defined", "-Wextra"}).gives_with_extra(Warning::expansion_to_defined));
  EXPECT_TRUE(rules_of({"-Wexpansion-to-defined"}).gives_with_extra(Warning::expansion_to_defined));

  // -Wmissing-include-dirs is off unless named: neither -Wall nor -Wextra gives it.
  EXPECT_FALSE(rules_of({"-Wall", "-Wextra"}).gives(Warning::missing_include_dirs));
  EXPECT_TRUE(rules_of({"-Wmissing-include-dirs"}).gives(Warning::missing_include_dirs));
  EXPECT_TRUE(rules_of({"-Werror=missing-include-dirs"}).makes_error(Warning::missing_include_dirs));

  // Names the C mode has no warning of, and -f flags that end like one, are ignored.
  const DiagnosticRules others = rules_of({"-Wshadow", "-Werror=format", "-fundef", "-Wno-error=undef"});
  EXPECT_EQ(others.warnings_on, defaults.warnings_on);
  EXPECT_EQ(others.warnings_as_errors, 0U);

  // Only -ftrack-macro-expansion=0 places diagnostics of expanded tokens at the use.
  EXPECT_TRUE(defaults.track_macro_expansion);
  EXPECT_FALSE(rules_of({"-ftrack-macro-expansion=0"}).track_macro_expansion);
  EXPECT_FALSE(rules_of({"-fno-track-macro-expansion"}).track_macro_expansion);
  EXPECT_TRUE(rules_of({"-ftrack-macro-expansion=0", "-ftrack-macro-expansion=1"}).track_macro_expansion);
  EXPECT_TRUE(rules_of({"-fno-track-macro-expansion", "-ftrack-macro-expansion"}).track_macro_expansion);
}

// -Wnormalized=FORM chooses the form identifiers are checked against, NFC
// unless named; -Werror=normalized[=FORM] chooses it too.
TEST(CppOptions, TakeTheNormalizationForm) {
  const auto rules_of = [](std::vector<std::string> args) {
    CppOptions options;
    std::string error;
    EXPECT_TRUE(parse_cpp_options(args, options, error)) << error;
    return options.diagnostics;
  };
  constexpr std::uint32_t kBit = DiagnosticRules::bit(Warning::normalized);
  EXPECT_EQ(rules_of({}).normalized, NormalForm::nfc);
  EXPECT_EQ(rules_of({"-Wnormalized=nfkc"}).normalized, NormalForm::nfkc);
  EXPECT_EQ(rules_of({"-Wnormalized=id"}).normalized, NormalForm::id);
  EXPECT_EQ(rules_of({"-Wnormalized=none"}).normalized, NormalForm::none);
  EXPECT_EQ(rules_of({"-Wnormalized=nfkc", "-Wno-normalized"}).normalized, NormalForm::none);
  EXPECT_EQ(rules_of({"-Wno-normalized", "-Wnormalized"}).normalized, NormalForm::nfc);
  const DiagnosticRules errors = rules_of({"-Wnormalized=none", "-Werror=normalized"});
  EXPECT_EQ(errors.normalized, NormalForm::nfc);
  EXPECT_EQ(errors.warnings_as_errors, kBit);
  EXPECT_EQ(rules_of({"-Werror=normalized=nfkc"}).normalized, NormalForm::nfkc);
  const DiagnosticRules taken_back = rules_of({"-Werror=normalized=nfkc", "-Wno-error=normalized"});
  EXPECT_EQ(taken_back.normalized, NormalForm::nfkc);
  EXPECT_EQ(taken_back.warnings_as_errors, 0U);
  EXPECT_EQ(parse({"-Wnormalized="}), "error: missing argument to '-Wnormalized='");
  EXPECT_EQ(parse({"-Werror=normalized="}), "error: missing argument to '-Wnormalized='");
  EXPECT_EQ(parse({"-Wnormalized=NFC"}), "error: argument 'NFC' to '-Wnormalized' not recognized");
  EXPECT_EQ(parse({"-Wnormalizedx"}), "");
}

// gcc's driver passes the words of -Wp, to the preprocessor after all its
// own options: their -D and -U act last.
TEST(CppOptions, TakeThePreprocessorsWordsOfWp) {
  EXPECT_EQ(parse({"-Wp,-DX=1,-UY", "-DZ", "a.c"}), "D:Z D:X=1 U:Y [a.c]");
  EXPECT_EQ(parse({"-Wp,-UX", "-DX", "-Wp,-D,W"}), "D:X U:X D:W ");
  EXPECT_EQ(parse({"-Wp,-Iinc,-I,more", "-Ifirst", "-Wp,-isystem,s,-include,h.h"}),
            "include:h.h I:first I:inc I:more isystem:s ");
  EXPECT_EQ(parse({"-Wp,-undef,-nostdinc"}), "nostdinc undef ");
  // Every other word is taken and ignored, with its value.
  EXPECT_EQ(parse({"-Wp,-MD,dep.d", "-Wp,-MMD,x.d,-MF,y.d,-MTz,-dM,-o,o.i,-x,c++,-v,f.c", "a.c"}), "[a.c]");
  EXPECT_EQ(parse({"-Wp,", "-Wp,,,", "a.c"}), "[a.c]");
  EXPECT_EQ(parse({"-Wp,-D"}), "error: missing argument to '-D'");
  EXPECT_EQ(parse({"-Wp,-MD"}), "");
}

// In a compile command, -p is gcc's profiling flag; on sornik's own command
// line, -p DIR names the compile database.
TEST(CppOptions, ReadMinusPAsTheCommandsOwnerMeansIt) {
  CppOptions compiler;
  std::string error;
  ASSERT_TRUE(parse_cpp_options(std::vector<std::string>{"-c", "-p", "a.c", "-O2"}, compiler, error,
                                CommandKind::compiler))
      << error;
  ASSERT_EQ(compiler.sources.size(), 1u);
  EXPECT_EQ(compiler.sources[0].name, "a.c");
  EXPECT_EQ(compiler.database, "");
  CppOptions own;
  ASSERT_TRUE(parse_cpp_options(std::vector<std::string>{"-p", "build", "a.c"}, own, error)) << error;
  EXPECT_EQ(own.database, "build/compile_commands.json");
  EXPECT_EQ(own.sources.size(), 1u);
}

TEST(CppOptions, RefuseUnknownOptionsAndMissingValues) {
  EXPECT_EQ(parse({"-q", "a.c"}), "error: unrecognized command-line option '-q'");
  EXPECT_EQ(parse({"--cpp"}), "error: unrecognized command-line option '--cpp'");
  EXPECT_EQ(parse({"-isysroot", "x"}), "error: unrecognized command-line option '-isysroot'");
  EXPECT_EQ(parse({"-I"}), "error: missing argument to '-I'");
  EXPECT_EQ(parse({"a", "-d"}), "error: missing argument to '-d'");
  EXPECT_EQ(parse({"-f"}), "error: missing argument to '-f'");
  EXPECT_EQ(parse({"-include"}), "error: missing argument to '-include'");
  EXPECT_EQ(parse({"-MF"}), "error: missing argument to '-MF'");
  EXPECT_EQ(parse({"-x"}), "error: missing argument to '-x'");
  EXPECT_EQ(parse({"--compiler= "}), "error: missing argument to '--compiler='");
  EXPECT_EQ(parse({"--compiler", "gcc"}), "error: unrecognized command-line option '--compiler'");
}

}  // namespace
}  // namespace sornik

namespace sornik {
namespace {

TEST(CppOptions, TakeTheListingsOptions) {
  CppOptions options;
  std::string error;
  const std::vector<std::string> args = {"--depth=2",          "--json",          "a.c",
                                         "--no-system-macros", "--macros-from=x", "--macros-from=y/"};
  ASSERT_TRUE(parse_cpp_options(args, options, error)) << error;
  EXPECT_EQ(options.depth, 2u);
  EXPECT_TRUE(options.json);
  EXPECT_TRUE(options.no_system_macros);
  EXPECT_EQ(options.macros_from, (std::vector<std::string>{"x", "y/"}));
  for (const std::string bad : {"--depth=0", "--depth=", "--depth=1x", "--depth=-1", "--macros-from="}) {
    CppOptions refused;
    EXPECT_FALSE(parse_cpp_options(std::vector<std::string>{bad}, refused, error)) << bad;
  }
  CppOptions one;
  EXPECT_TRUE(parse_cpp_options(std::vector<std::string>{"--depth=1"}, one, error));
  EXPECT_EQ(one.depth, 1u);
}

TEST(CppOptions, ColourWhen) {
  using Colour = CppOptions::Colour;
  for (const auto& [args, colour] : std::vector<std::pair<std::vector<std::string>, Colour>>{
           {{}, Colour::never},
           {{"--color"}, Colour::always},
           {{"--color=auto"}, Colour::automatic},
           {{"--color=always", "--color=never"}, Colour::never}}) {
    CppOptions options;
    std::string error;
    ASSERT_TRUE(parse_cpp_options(args, options, error)) << error;
    EXPECT_EQ(options.colour, colour);
  }
  for (const std::string bad : {"--color=", "--color=yes", "--colour"}) {
    CppOptions refused;
    std::string error;
    EXPECT_FALSE(parse_cpp_options(std::vector<std::string>{bad}, refused, error)) << bad;
  }
}

}  // namespace
}  // namespace sornik
