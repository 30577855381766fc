// The definition files' registry and its focus test by path.
#include "cmode/macro/definition_files.h"

#include <climits>
#include <cstdlib>
#include <memory>

namespace sornik::cmode {

namespace {

// The absolute path of an existing file or directory with its links, "."
// and ".." resolved, so that a file named through a link or through "../"
// is found under the path it lies in; the path as given when it names
// nothing.
std::string normal_path(std::string_view path) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(std::string(path).c_str(), nullptr),
                                                             &std::free);
  std::string text = resolved != nullptr ? std::string(resolved.get()) : std::string(path);
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

DefinitionFiles::DefinitionFiles() {
  // A typical translation unit reads about a hundred files.
  files_.reserve(256);
  files_.push_back({"<built-in>", false, false, true});
}

void DefinitionFiles::set_focus(FocusRule rule) {
  focus_ = std::move(rule);
  focus_paths_.clear();
  for (const std::string& path : focus_.under) focus_paths_.push_back(normal_path(path));
  files_[0].in_focus = focus_paths_.empty();
}

std::uint32_t DefinitionFiles::enter(std::string_view name, bool system, bool is_source, bool has_lines) {
  key_.assign(name);
  key_.push_back('\0');
  key_.push_back(static_cast<char>('0' + (system ? 1 : 0) + (is_source ? 2 : 0) + (has_lines ? 4 : 0)));
  const auto [entry, added] = indices_.try_emplace(key_, 0);
  if (added) entry->second = add(name, system, is_source, has_lines);
  return entry->second;
}

std::uint32_t DefinitionFiles::add(std::string_view name, bool system, bool is_source, bool has_lines) {
  DefinitionFile& file = files_.emplace_back(DefinitionFile{name, system, has_lines, true});
  if (focus_.no_system && system) file.in_focus = false;
  if (!focus_paths_.empty() && !is_source)
    file.in_focus = file.in_focus && has_lines && under_focus_paths(name);
  return static_cast<std::uint32_t>(files_.size() - 1);
}

bool DefinitionFiles::under_focus_paths(std::string_view name) const {
  const std::string path = normal_path(name);
  for (const std::string& under : focus_paths_) {
    if (path.size() < under.size() || path.compare(0, under.size(), under) != 0) continue;
    // Under the path: the path itself, or a name that goes on after a '/'.
    if (path.size() == under.size() || path[under.size()] == '/' || under == "/") return true;
  }
  return false;
}

}  // namespace sornik::cmode
