// The changing values of the built-in macros: file and line, counter, date and time.
#include "cmode/macro/builtin_state.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

namespace sornik::cmode {

namespace {

// The largest SOURCE_DATE_EPOCH the C compiler takes: the end of the year 9999.
constexpr long long kLatestEpoch = 253402300799LL;

// The time SOURCE_DATE_EPOCH names, in UTC, or else now, in local time.
std::tm run_time(std::string& error) {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch != nullptr) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(epoch, &end, 10);
    if (*epoch != '\0' && *end == '\0' && errno == 0 && value >= 0 && value <= kLatestEpoch) {
      const auto seconds = static_cast<std::time_t>(value);
      gmtime_r(&seconds, &parts);
      return parts;
    }
    error =
        "environment variable 'SOURCE_DATE_EPOCH' must expand to a non-negative integer less than or equal "
        "to " +
        std::to_string(kLatestEpoch);
  }
  localtime_r(&now, &parts);
  return parts;
}

std::string quoted(const char* text) { return '"' + std::string(text) + '"'; }

}  // namespace

void BuiltinState::enter_file(std::string_view path, std::string_view presumed) {
  if (places_.empty()) base_file_.assign(presumed);
  Place& place = places_.emplace_back();
  place.path.assign(path);
  place.presumed.assign(presumed);
}

void BuiltinState::leave_file() {
  if (!places_.empty()) places_.pop_back();
}

void BuiltinState::set_line(std::uint32_t next_physical, std::uint32_t line, const std::string* file) {
  if (places_.empty()) return;
  Place& place = places_.back();
  place.offset = line - next_physical;
  if (file != nullptr) place.presumed = *file;
}

void BuiltinState::enter_by_marker() {
  if (!places_.empty()) places_.back().left_by_markers.push_back(places_.back().presumed);
}

bool BuiltinState::leave_by_marker(std::string& file) {
  if (places_.empty() || places_.back().left_by_markers.empty()) return false;
  std::vector<std::string>& left = places_.back().left_by_markers;
  if (!file.empty() && file != left.back()) return false;
  file = std::move(left.back());
  left.pop_back();
  return true;
}

std::size_t BuiltinState::include_level() const {
  if (places_.empty()) return 0;
  std::size_t level = places_.size() - 1;
  for (const Place& place : places_) level += place.left_by_markers.size();
  return level;
}

std::uint32_t BuiltinState::presumed_line(std::uint32_t physical) const {
  return places_.empty() ? physical : physical + places_.back().offset;
}

std::string_view BuiltinState::presumed_file() const {
  return places_.empty() ? std::string_view() : std::string_view(places_.back().presumed);
}

void BuiltinState::date_and_time(std::string& error) {
  if (!date_.empty()) return;
  const std::tm parts = run_time(error);
  char text[32];
  std::strftime(text, sizeof text, "%b %e %Y", &parts);
  date_ = quoted(text);
  std::strftime(text, sizeof text, "%H:%M:%S", &parts);
  time_ = quoted(text);
}

std::string BuiltinState::timestamp() const {
  struct stat status {};
  std::tm parts{};
  if (places_.empty() || stat(places_.back().path.c_str(), &status) != 0 ||
      localtime_r(&status.st_mtime, &parts) == nullptr)
    return "\"??? ??? ?? ??:??:?? ????\"";
  char text[32];
  std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y", &parts);
  return quoted(text);
}

std::string quoted_file_name(std::string_view name) {
  std::string text(1, '"');
  for (const char c : name) {
    if (c == '"' || c == '\\') text.push_back('\\');
    text.push_back(c);
  }
  text.push_back('"');
  return text;
}

std::string_view file_name_part(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace sornik::cmode
