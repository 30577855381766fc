// Where a run's compiler facts come from: the cache, the compiler itself, or
// the facts the build found.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/facts/child_process.h"
#include "cmode/facts/compiler_facts.h"

namespace sornik::cmode {

// How long a compiler may take to answer before it is stopped.
inline constexpr std::chrono::milliseconds kCompilerTimeLimit{10000};

// Whether runs may start a compiler. Off, every run takes the build's facts
// without a note, also for a compiler the command line names: for the fuzz
// targets, which must neither start processes nor write a cache.
void allow_compiler_runs(bool allowed);

class FactsSource {
 public:
  // Facts for `request`, cached in `cache_dir` ("" for no cache); the
  // compiler may take `limit` to answer.
  FactsSource(FactsRequest request, std::string cache_dir,
              std::chrono::milliseconds limit = kCompilerTimeLimit);

  // Makes the facts ready, at most once: from the cache when it holds them
  // for this compiler as it is now (its path, size and time of change),
  // else from the compiler, and then cached. Where the default compiler
  // cannot be run, the build's facts apply and a note says so. False with
  // `error` set when a compiler the request names cannot be run, fails,
  // does not answer as a compiler, or outlasts the limit.
  bool load(std::string& error);

  // The facts; load() first.
  const CompilerFacts& facts() const { return facts_; }

  // The compiler's expansion of a feature test written without blanks
  // ("__has_builtin(__builtin_expect)"): a number, or "" where the compiler
  // does not know the operator. A test not yet known is asked of the
  // compiler (loading the facts first) and kept for save().
  std::string_view feature(std::string_view test);

  // Whether the answer to `test` is known without asking.
  bool knows(std::string_view test) const { return facts_.features.find(test).has_value(); }

  // Asks the compiler, in one go, about those of `tests` not yet known.
  void learn_features(const std::vector<std::string>& tests);

  // Writes the facts into the cache if they changed since they were read.
  void save();

 private:
  // Runs the compiler with `args` after its command words, standard input
  // read from `input`: what it wrote once it ended, whatever its status;
  // nothing, with `error` set, when it could not be run or was stopped.
  std::optional<ChildResult> ask(const std::vector<std::string>& args, const std::string& input,
                                 std::string& error);
  // The macros and include directories, from the compiler.
  bool ask_facts(std::string& error);

  FactsRequest request_;
  std::string cache_dir_;
  std::chrono::milliseconds limit_;
  std::vector<std::string> command_;  // the program's path, then the other words
  std::string display_;               // the command as messages name it
  std::string key_;
  CompilerFacts facts_;
  enum class State { unloaded, asked, cached, configured, failed } state_ = State::unloaded;
  std::string failure_;          // why a named compiler gave no facts
  bool changed_ = false;         // since read from the cache
  bool probing_failed_ = false;  // the compiler gave no answer to a probe
};

}  // namespace sornik::cmode
