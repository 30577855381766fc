// Reading a compile database with a JSON parser, and finding the entry of a
// source or the one nearest to it.
#include "app/compile_database.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "app/command_words.h"
#include "common/page_memory.h"
#include "common/run_io.h"

namespace sornik {

namespace {

using Json = nlohmann::json;

// "line:column" of byte `offset` (the parser counts from 1 past the byte it
// stopped at) in `text`.
std::string place_of(std::string_view text, std::size_t offset) {
  const std::size_t end = std::min(text.size(), offset == 0 ? 0 : offset - 1);
  std::size_t line = 1;
  std::size_t line_start = 0;
  for (std::size_t at = 0; at < end; ++at) {
    if (text[at] == '\n') {
      ++line;
      line_start = at + 1;
    }
  }
  return std::to_string(line) + ":" + std::to_string(end - line_start + 1);
}

// A member that must be a string; false with `why` when missing or not one.
bool string_member(const Json& entry, const char* name, std::string& value, std::string& why) {
  const auto found = entry.find(name);
  if (found == entry.end()) {
    why = std::string("no \"") + name + "\"";
    return false;
  }
  if (!found->is_string()) {
    why = std::string("\"") + name + "\" is not a string";
    return false;
  }
  value = found->get<std::string>();
  return true;
}

bool read_arguments(const Json& entry, std::vector<std::string>& arguments, std::string& why) {
  if (const auto list = entry.find("arguments"); list != entry.end()) {
    if (!list->is_array() || list->empty()) {
      why = "\"arguments\" is not a list of words";
      return false;
    }
    for (const Json& word : *list) {
      if (!word.is_string()) {
        why = "\"arguments\" is not a list of words";
        return false;
      }
      arguments.push_back(word.get<std::string>());
    }
    return true;
  }
  std::string command;
  if (!string_member(entry, "command", command, why)) {
    why = "neither \"command\" nor \"arguments\"";
    if (entry.contains("command")) why = "\"command\" is not a string";
    return false;
  }
  std::optional<std::vector<std::string>> words = split_command_words(command);
  if (!words || words->empty()) {
    why = words ? "\"command\" is empty" : "\"command\" leaves a quote open";
    return false;
  }
  arguments = std::move(*words);
  return true;
}

bool read_entry(const Json& json, CompileEntry& entry, std::string& why) {
  if (!json.is_object()) {
    why = "not an object";
    return false;
  }
  if (!string_member(json, "directory", entry.directory, why) ||
      !string_member(json, "file", entry.file, why) || !read_arguments(json, entry.arguments, why))
    return false;
  entry.full_path = resolve_path(entry.directory, entry.file);
  return true;
}

bool read_text(const std::string& path, std::string& text, std::string& error) {
  PageArray<char> bytes;
  std::size_t size = 0;
  if (!read_whole_input(path, bytes, size)) {
    error = path + ": cannot open: " + std::strerror(errno);
    return false;
  }
  text.assign(bytes.data(), size);
  return true;
}

std::string folder_of(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

}  // namespace

std::string resolve_path(const std::string& directory, const std::string& path) {
  std::filesystem::path full(path);
  if (full.is_relative()) {
    std::filesystem::path base(directory);
    if (base.is_relative()) base = std::filesystem::current_path() / base;
    full = base / full;
  }
  return full.lexically_normal().string();
}

bool read_compile_database(const std::string& path, CompileDatabase& database, std::string& error) {
  database.path = path;
  std::string text;
  if (!read_text(path, text, error)) return false;
  Json json;
  try {
    json = Json::parse(text);
  } catch (const Json::parse_error& failure) {
    // The parser's message without its own prefix and place.
    std::string what = failure.what();
    const std::size_t detail = what.find("syntax error");
    what = detail == std::string::npos ? "not valid JSON" : what.substr(detail);
    error = path + ":" + place_of(text, failure.byte) + ": " + what;
    return false;
  }
  if (!json.is_array()) {
    error = path + ": not a list of entries";
    return false;
  }
  for (std::size_t i = 0; i < json.size(); ++i) {
    CompileEntry entry;
    std::string why;
    if (!read_entry(json[i], entry, why)) {
      error = path;
      error += ": entry ";
      error += std::to_string(i + 1);
      error += ": ";
      error += why;
      return false;
    }
    database.entries.push_back(std::move(entry));
  }
  return true;
}

std::string database_in_directory(const std::string& directory) {
  return (std::filesystem::path(directory) / "compile_commands.json").string();
}

const CompileEntry* entry_of(const CompileDatabase& database, const std::string& source) {
  const std::string full = resolve_path("", source);
  for (const CompileEntry& entry : database.entries) {
    if (entry.full_path == full) return &entry;
  }
  return nullptr;
}

const CompileEntry* nearest_entry(const CompileDatabase& database, const std::string& source) {
  for (std::string folder = folder_of(resolve_path("", source));; folder = folder_of(folder)) {
    const std::string prefix = folder.ends_with('/') ? folder : folder + '/';
    for (const CompileEntry& entry : database.entries) {
      if (entry.full_path.starts_with(prefix)) return &entry;
    }
    if (folder.empty() || folder == "/") return nullptr;
  }
}

}  // namespace sornik
