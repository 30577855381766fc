// A compiler's answers to feature tests, kept as the cache holds them: most
// runs look up a few of several hundred, so the lines read are searched
// where they lie rather than taken apart.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sornik::cmode {

class FeatureAnswers {
 public:
  // The answer to a test written without blanks ("__has_attribute(unused)"):
  // a number, or "" where the compiler does not know the operator; nothing
  // when the test has not been answered.
  std::optional<std::string_view> find(std::string_view test) const;

  // Answers a test, replacing any answer it had.
  void set(std::string_view test, std::string_view answer);

  std::size_t size() const;

  // Every answer as "test answer" lines sorted by test, as the cache keeps them.
  std::string lines() const;

  // Takes the answers of lines() as they are; false, taking nothing, when a
  // line has no answer or the lines are not sorted.
  bool read_lines(std::string text);

  bool operator==(const FeatureAnswers& other) const { return lines() == other.lines(); }

 private:
  std::string_view line(std::size_t index) const;
  static std::string_view test_of(std::string_view line);

  std::string read_;                        // the lines read
  std::vector<std::uint32_t> line_starts_;  // of each line of read_
  // Answers given since, which take the place of those read.
  std::map<std::string, std::string, std::less<>> added_;
};

}  // namespace sornik::cmode
