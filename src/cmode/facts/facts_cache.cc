// The cache file of compiler facts: its text, its checks, and its atomic writing.
#include "cmode/facts/facts_cache.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "common/name_hash.h"

namespace sornik::cmode {

namespace {

constexpr std::string_view kFirstLine = "sornik compiler facts 1\n";
// A cache file larger than this is no file of ours.
constexpr std::size_t kLargestFile = std::size_t{64} << 20;

std::string hex(std::uint64_t value) {
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(value));
  return digits;
}

void add_section(std::string& text, std::string_view name, std::string_view bytes) {
  text.append(name);
  text += ' ';
  text += std::to_string(bytes.size());
  text += '\n';
  text.append(bytes);
  text += '\n';
}

std::string joined_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  return text;
}

// Reads the section `name` at `pos` into `bytes`; false when the text does
// not hold it there whole.
bool read_section(std::string_view text, std::size_t& pos, std::string_view name, std::string_view& bytes) {
  const std::string_view rest = text.substr(pos);
  if (!rest.starts_with(name) || rest.size() <= name.size() || rest[name.size()] != ' ') return false;
  const char* first = rest.data() + name.size() + 1;
  const char* last = rest.data() + rest.size();
  std::size_t size = 0;
  const auto [end, error] = std::from_chars(first, last, size);
  if (error != std::errc() || end == last || *end != '\n') return false;
  const std::size_t start = static_cast<std::size_t>(end + 1 - rest.data());
  if (size > rest.size() - start || rest.size() - start - size < 1 || rest[start + size] != '\n')
    return false;
  bytes = rest.substr(start, size);
  pos += start + size + 1;
  return true;
}

std::vector<std::string> lines_of(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    lines.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return lines;
}

// Makes `dir` and the directories above it that are missing.
bool make_directories(const std::string& dir) {
  for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string part = dir.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

// The bytes of a regular file, in a buffer that is not cleared first; null
// when it cannot be read whole.
std::unique_ptr<char[]> read_whole_file(const std::string& path, std::size_t& size) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  std::unique_ptr<char[]> bytes;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::size_t>(info.st_size) <= kLargestFile) {
    size = static_cast<std::size_t>(info.st_size);
    bytes = std::make_unique_for_overwrite<char[]>(size);
    for (std::size_t done = 0; bytes != nullptr && done < size;) {
      const ssize_t got = read(fd, bytes.get() + done, size - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) bytes.reset();
      if (got > 0) done += static_cast<std::size_t>(got);
    }
  }
  close(fd);
  return bytes;
}

bool write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t done = write(fd, text.data(), text.size());
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

}  // namespace

std::string cache_directory() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/sornik";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/sornik";
  return {};
}

std::string facts_file_text(std::string_view key, const CompilerFacts& facts) {
  std::string text(kFirstLine);
  add_section(text, "key", key);
  add_section(text, "quote", joined_lines(facts.quote_dirs));
  add_section(text, "system", joined_lines(facts.system_dirs));
  add_section(text, "features", facts.features.lines());
  add_section(text, "macros", facts.macros);
  text += "check " + hex(hash_name(text)) + "\n";
  return text;
}

std::optional<CompilerFacts> read_facts_file_text(std::string_view text, std::string_view key) {
  const std::size_t check_at = text.rfind("check ");
  if (!text.starts_with(kFirstLine) || check_at == std::string_view::npos ||
      text.substr(check_at) != "check " + hex(hash_name(text.substr(0, check_at))) + "\n") {
    return std::nullopt;
  }
  std::size_t pos = kFirstLine.size();
  std::string_view stored_key, quote, system, features, macros;
  if (!read_section(text, pos, "key", stored_key) || stored_key != key ||
      !read_section(text, pos, "quote", quote) || !read_section(text, pos, "system", system) ||
      !read_section(text, pos, "features", features) || !read_section(text, pos, "macros", macros) ||
      pos != check_at) {
    return std::nullopt;
  }
  CompilerFacts facts;
  facts.quote_dirs = lines_of(quote);
  facts.system_dirs = lines_of(system);
  if (!facts.features.read_lines(std::string(features))) return std::nullopt;
  facts.macros = macros;
  return facts;
}

std::string facts_file_path(const std::string& directory, std::string_view key) {
  return directory + "/" + hex(hash_name(key)) + ".facts";
}

std::optional<CompilerFacts> load_cached_facts(const std::string& directory, std::string_view key) {
  if (directory.empty()) return std::nullopt;
  std::size_t size = 0;
  const std::unique_ptr<char[]> bytes = read_whole_file(facts_file_path(directory, key), size);
  if (bytes == nullptr) return std::nullopt;
  return read_facts_file_text(std::string_view(bytes.get(), size), key);
}

bool store_cached_facts(const std::string& directory, std::string_view key, const CompilerFacts& facts) {
  if (directory.empty() || !make_directories(directory)) return false;
  std::string temporary = directory + "/.facts-XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  const bool written = write_all(fd, facts_file_text(key, facts));
  const bool closed = close(fd) == 0;
  if (written && closed && std::rename(temporary.c_str(), facts_file_path(directory, key).c_str()) == 0)
    return true;
  unlink(temporary.c_str());
  return false;
}

}  // namespace sornik::cmode
