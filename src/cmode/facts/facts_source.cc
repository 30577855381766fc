// Loading compiler facts from the cache, the compiler or the build, and asking feature tests.
#include "cmode/facts/facts_source.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "cmode/facts/child_process.h"
#include "cmode/facts/configured_facts.h"
#include "cmode/facts/facts_cache.h"
#include "common/run_io.h"

namespace sornik::cmode {

namespace {

// The last line of a compiler's complaint that says something.
std::string_view last_line(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.remove_suffix(1);
  const std::size_t newline = text.rfind('\n');
  return newline == std::string_view::npos ? text : text.substr(newline + 1);
}

std::string seconds(std::chrono::milliseconds time) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(time.count()) / 1000);
  return text;
}

// What names the compiler as it is now: the file it runs (links followed),
// its size and time of change, and everything the request adds.
std::string cache_key(const std::vector<std::string>& command, const FactsRequest& request) {
  std::string key = "program ";
  char resolved[PATH_MAX];
  key += realpath(command[0].c_str(), resolved) != nullptr ? resolved : command[0].c_str();
  struct stat info {};
  stat(command[0].c_str(), &info);
  key += "\nsize " + std::to_string(info.st_size);
  key += "\nchanged " + std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
  key += "\nwords";
  for (std::size_t i = 1; i < command.size(); ++i) key += " " + command[i];
  key += "\narguments";
  for (const std::string& arg : facts_arguments(request)) key += " " + arg;
  return key;
}

// A file holding `text` for a child to read, removed when it goes.
class ProbeFile {
 public:
  explicit ProbeFile(std::string_view text) {
    const char* tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/sornik-probe-XXXXXX";
    const int fd = mkstemp(path_.data());
    if (fd < 0) {
      path_.clear();
      return;
    }
    bool written = true;
    while (written && !text.empty()) {
      const ssize_t done = write(fd, text.data(), text.size());
      written = done > 0;
      if (written) text.remove_prefix(static_cast<std::size_t>(done));
    }
    close(fd);
    if (!written) {
      unlink(path_.c_str());
      path_.clear();
    }
  }
  ~ProbeFile() {
    if (!path_.empty()) unlink(path_.c_str());
  }
  ProbeFile(const ProbeFile&) = delete;
  ProbeFile& operator=(const ProbeFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

bool compiler_runs_allowed = true;

}  // namespace

void allow_compiler_runs(bool allowed) { compiler_runs_allowed = allowed; }

FactsSource::FactsSource(FactsRequest request, std::string cache_dir, std::chrono::milliseconds limit)
    : request_(std::move(request)), cache_dir_(std::move(cache_dir)), limit_(limit) {
  display_ =
      request_.compiler.empty() ? (request_.language == SourceLanguage::c ? "cc" : "c++") : request_.compiler;
  command_ = command_words(display_);
}

bool FactsSource::load(std::string& error) {
  if (state_ == State::failed) error = failure_;
  if (state_ != State::unloaded) return state_ != State::failed;
  if (!compiler_runs_allowed) {
    facts_ = configured_facts(request_.language);
    state_ = State::configured;
    return true;
  }
  const bool named = !request_.compiler.empty();
  const std::string program = command_.empty() ? std::string() : find_program(command_[0]);
  if (!program.empty()) {
    command_[0] = program;
    key_ = cache_key(command_, request_);
    if (std::optional<CompilerFacts> cached = load_cached_facts(cache_dir_, key_)) {
      facts_ = std::move(*cached);
      state_ = State::cached;
      return true;
    }
    if (ask_facts(error)) {
      state_ = State::asked;
      changed_ = true;
      // Most sources test some of these: one probe now saves one per test.
      learn_features(common_feature_tests());
      save();
      return true;
    }
  } else {
    error = "cannot run the compiler '" + display_ + "': not found";
  }
  if (named) {
    failure_ = error;
    state_ = State::failed;
    return false;
  }
  err_write("sornik: note: " + error + "; the predefined macros and include directories found when sornik " +
            "was built apply\n");
  error.clear();
  facts_ = configured_facts(request_.language);
  state_ = State::configured;
  return true;
}

std::optional<ChildResult> FactsSource::ask(const std::vector<std::string>& args, const std::string& input,
                                            std::string& error) {
  std::vector<std::string> argv = command_;
  argv.insert(argv.end(), args.begin(), args.end());
  ChildResult result = run_child(argv, input, limit_);
  switch (result.outcome) {
    case ChildResult::Outcome::not_started:
      error = "cannot run the compiler '" + display_ + "': " + result.err;
      return std::nullopt;
    case ChildResult::Outcome::timed_out:
      error = "the compiler '" + display_ + "' gave no answer within " + seconds(limit_) + " s";
      return std::nullopt;
    case ChildResult::Outcome::signalled:
      error = "the compiler '" + display_ + "' was stopped by signal " + std::to_string(result.status);
      return std::nullopt;
    case ChildResult::Outcome::exited: break;
  }
  return result;
}

bool FactsSource::ask_facts(std::string& error) {
  std::optional<ChildResult> result = ask(facts_arguments(request_), "/dev/null", error);
  if (!result) return false;
  if (result->status != 0) {
    error = "the compiler '" + display_ + "' failed (exit status " + std::to_string(result->status) + ")";
    const std::string_view why = last_line(result->err);
    if (!why.empty()) error += ": " + std::string(why);
    return false;
  }
  CompilerFacts facts;
  if (!read_search_list(result->err, facts)) {
    error = "the compiler '" + display_ + "' did not list its include directories as a C compiler does";
    return false;
  }
  facts.macros = std::move(result->out);
  facts_ = std::move(facts);
  return true;
}

std::string_view FactsSource::feature(std::string_view test) {
  std::optional<std::string_view> found = facts_.features.find(test);
  if (!found) {
    learn_features({std::string(test)});
    found = facts_.features.find(test);
  }
  return found.value_or("0");
}

void FactsSource::learn_features(const std::vector<std::string>& tests) {
  std::string error;
  if (probing_failed_ || !load(error) || state_ == State::configured) return;
  std::vector<std::string> unknown;
  for (const std::string& test : tests) {
    if (!knows(test)) unknown.push_back(test);
  }
  if (unknown.empty()) return;
  const ProbeFile probe(feature_probe(unknown));
  // A probe line the compiler finds wrong still has its line of output (a
  // 0); only a compiler that gave no answer at all is not asked again.
  std::optional<ChildResult> result;
  if (!probe.path().empty()) result = ask(probe_arguments(request_), probe.path(), error);
  if (!result) {
    probing_failed_ = true;
    return;
  }
  read_feature_probe(result->out, unknown, facts_);
  changed_ = true;
}

void FactsSource::save() {
  if (!changed_ || state_ == State::configured) return;
  store_cached_facts(cache_dir_, key_, facts_);
  changed_ = false;
}

}  // namespace sornik::cmode
