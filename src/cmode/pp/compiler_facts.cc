#include "cmode/pp/compiler_facts.h"

#include <algorithm>

#ifndef SORNIK_SYSTEM_INCLUDE_DIRS
#define SORNIK_SYSTEM_INCLUDE_DIRS "/usr/local/include:/usr/include"
#endif
#ifndef SORNIK_TRUE_FEATURE_TESTS
#define SORNIK_TRUE_FEATURE_TESTS ""
#endif

namespace sornik::cmode {

namespace {

// The pieces of `list` between separators, empty ones left out.
std::vector<std::string_view> split(std::string_view list, char separator) {
  std::vector<std::string_view> pieces;
  while (!list.empty()) {
    const std::size_t end = std::min(list.find(separator), list.size());
    if (end > 0) pieces.push_back(list.substr(0, end));
    list.remove_prefix(std::min(end + 1, list.size()));
  }
  return pieces;
}

}  // namespace

std::vector<std::string> system_include_directories() {
  std::vector<std::string> dirs;
  for (std::string_view dir : split(SORNIK_SYSTEM_INCLUDE_DIRS, ':')) dirs.emplace_back(dir);
  return dirs;
}

bool compiler_feature(std::string_view test) {
  static const std::vector<std::string_view> true_tests = split(SORNIK_TRUE_FEATURE_TESTS, ' ');
  return std::find(true_tests.begin(), true_tests.end(), test) != true_tests.end();
}

}  // namespace sornik::cmode
