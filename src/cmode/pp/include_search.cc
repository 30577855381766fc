// Looking headers up in the include directories and reading them once.
#include "cmode/pp/include_search.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "common/run_io.h"

namespace sornik::cmode {

namespace {

// Reads a whole file into page memory (a large header then costs few page
// faults and no copy); false when it cannot be opened.
bool read_whole_file(const std::string& path, HeaderFile& header) {
  std::size_t size = 0;
  if (!read_whole_input(path, header.bytes, size)) return false;
  header.text = std::string_view(header.bytes.data(), size);
  header.text.remove_prefix(byte_order_mark_length(header.text));
  return true;
}

// Puts dir + "/" + name into `path` (just the name when dir is empty).
void join_path(std::string_view dir, std::string_view name, std::string& path) {
  path.assign(dir);
  if (!dir.empty() && dir.back() != '/') path += '/';
  path.append(name);
}

}  // namespace

void IncludeSearch::add_directory(std::string_view dir, SearchDirKind kind) {
  while (dir.size() > 1 && dir.back() == '/') dir.remove_suffix(1);
  const auto known = std::find_if(chain_.begin(), chain_.end(), [&](const SearchDir& entry) {
    return entry.path == dir && (entry.kind == SearchDirKind::quote) == (kind == SearchDirKind::quote);
  });
  if (known != chain_.end()) {
    // A directory of the compiler's own named with -I stays a system
    // directory, where the compiler has it.
    if (kind != SearchDirKind::system || known->kind == SearchDirKind::system) return;
    chain_.erase(known);
  }
  chain_.push_back({std::string(dir), kind});
  if (kind == SearchDirKind::quote) ++quote_dirs_;
}

void IncludeSearch::drop_text(HeaderFile& file) {
  file.bytes = {};
  file.text = {};
  file.lines = {};
  file.lines_dialect = nullptr;
  file.text_dropped = true;
}

bool IncludeSearch::restore_text(HeaderFile& file) {
  if (file.text_dropped) file.text_dropped = !read_whole_file(file.path, file);
  return !file.text_dropped;
}

HeaderFile& IncludeSearch::entry(const std::string& path) {
  // Most paths were tried before: the map takes a copy of one only when it
  // is new.
  auto entry = files_.find(path);
  if (entry == files_.end()) {
    entry = files_.try_emplace(path, std::make_unique<HeaderFile>()).first;
    HeaderFile& file = *entry->second;
    file.path = path;
    errno = 0;
    file.readable = read_whole_file(path, file);
    // A directory, or a path through a file, is no file by that name.
    if (!file.readable) file.error = errno == 0 || means_absent(errno) ? ENOENT : errno;
  }
  return *entry->second;
}

HeaderFile* IncludeSearch::open(const std::string& path) {
  HeaderFile& file = entry(path);
  return file.readable ? &file : nullptr;
}

HeaderFile& IncludeSearch::enter_unread(const std::string& path) {
  std::unique_ptr<HeaderFile>& entry = files_[path];
  if (entry == nullptr) {
    entry = std::make_unique<HeaderFile>();
    entry->path = path;
  }
  if (!entry->readable) {
    entry->readable = true;
    entry->text_dropped = true;
  }
  return *entry;
}

FoundHeader IncludeSearch::find(std::string_view name, bool quoted, std::string_view includer_dir,
                                std::size_t start) {
  // Every path tried is opened once and kept, so the same question always
  // has the same answer. The sizes keep apart keys whose bytes run together
  // (a name may hold any byte).
  const std::size_t dir_size = quoted ? includer_dir.size() : ~std::size_t{0};
  key_.assign(reinterpret_cast<const char*>(&start), sizeof start);
  key_.append(reinterpret_cast<const char*>(&dir_size), sizeof dir_size);
  if (quoted) key_.append(includer_dir);
  key_.append(name);
  const auto known = answers_.find(std::string_view(key_));
  if (known != answers_.end()) return known->second;
  const FoundHeader found = search(name, quoted, includer_dir, start);
  answers_.try_emplace(key_, found);
  return found;
}

FoundHeader IncludeSearch::search(std::string_view name, bool quoted, std::string_view includer_dir,
                                  std::size_t start) {
  FoundHeader found;
  found.error = ENOENT;
  // Tries `path_`; true when the search ends there.
  const auto try_path = [&](int chain_index, bool system) {
    HeaderFile& file = entry(path_);
    if (!file.readable && file.error == ENOENT) return false;
    found = {file.readable ? &file : nullptr, chain_index, system, file.readable ? 0 : file.error};
    return true;
  };
  if (name.empty()) return found;
  if (name.front() == '/') {
    path_.assign(name);
    try_path(-1, false);
    return found;
  }
  if (quoted && may_hold(includer_dir, name)) {
    join_path(includer_dir, name, path_);
    if (try_path(-1, false)) return found;
  }
  for (std::size_t i = start; i < chain_.size(); ++i) {
    if (!may_hold(chain_[i].path, name)) continue;
    join_path(chain_[i].path, name, path_);
    if (try_path(static_cast<int>(i), chain_[i].kind == SearchDirKind::system)) return found;
  }
  return found;
}

bool IncludeSearch::may_hold(std::string_view dir, std::string_view name) {
  const std::size_t slash = name.find('/');
  if (slash == std::string_view::npos) return true;
  join_path(dir, name.substr(0, slash), path_);
  auto entry = subdirectories_.find(path_);
  if (entry == subdirectories_.end())
    entry = subdirectories_.try_emplace(path_, run_io().is_directory(path_)).first;
  return entry->second;
}

std::string_view IncludeSearch::directory_of(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace sornik::cmode
