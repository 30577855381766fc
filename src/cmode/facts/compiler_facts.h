// What the C mode takes from a C or C++ compiler: its predefined macros, its
// include directories and its answers to feature tests, and how each is
// read from what the compiler prints.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cmode/facts/feature_answers.h"

namespace sornik::cmode {

enum class SourceLanguage { c, cxx };

// Which facts are wanted: those of one compiler for one language, under the
// flags that change what it predefines.
struct FactsRequest {
  // The compiler's command as the user gave it (words split at blanks, quotes
  // kept together); empty for the language's default, `cc` or `c++`.
  std::string compiler;
  SourceLanguage language = SourceLanguage::c;
  // The value of -std=, or "" for the compiler's default.
  std::string standard;
  // Other flags, in order, that change the predefined macros (-ansi,
  // -nostdinc, -m32, -O2, -D... given to the compiler itself...).
  std::vector<std::string> flags;
};

struct CompilerFacts {
  // `-dM` output: one #define line per predefined macro.
  std::string macros;
  // The directories of `#include "..."` only, then those of every #include.
  std::vector<std::string> quote_dirs;
  std::vector<std::string> system_dirs;
  // The compiler's answers to feature tests.
  FeatureAnswers features;
};

// The command words of a --compiler value: split at blanks; single or
// double quotes keep blanks inside a word, a backslash keeps the next byte.
std::vector<std::string> command_words(std::string_view command);

// The arguments after the command words that ask for macros and include
// directories (`-dM -E -v`, standard input as the source).
std::vector<std::string> facts_arguments(const FactsRequest& request);

// The arguments after the command words that expand a probe read from
// standard input (`-E -P`).
std::vector<std::string> probe_arguments(const FactsRequest& request);

// Reads the include directories from what `-v` wrote on standard error;
// false when the search list is missing.
bool read_search_list(std::string_view report, CompilerFacts& facts);

// The feature tests that `text` makes, written as the compiler is asked
// them ("__has_attribute(unused)"), each once: also those made through a
// wrapper such as `__glibc_has_attribute (x)` or `HAS_BUILTIN(x)`.
std::vector<std::string> feature_tests_in(std::string_view text);

// A probe source that puts each test on a numbered line of its own, and the
// reading of the compiler's expansion of it into `facts.features`.
std::string feature_probe(const std::vector<std::string>& tests);
void read_feature_probe(std::string_view expanded, const std::vector<std::string>& tests,
                        CompilerFacts& facts);

}  // namespace sornik::cmode
