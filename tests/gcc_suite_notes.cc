// Reads the dg- notes of a test of GCC's test suite for a run in C or C++.
#include "gcc_suite_notes.h"

#include <algorithm>
#include <map>

#include "cmode/lex/dialect.h"

namespace sornik {

namespace {

// One `{ dg-NAME words... }` of a test, standing on line `at`.
struct Note {
  int at = 0;
  std::string name;
  std::vector<std::string> words;
};

// The words of a Tcl list from `pos` up to its closing brace: "quoted",
// {braced} and bare words.
std::vector<std::string> read_words(std::string_view text, std::size_t& pos) {
  std::vector<std::string> words;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == ' ' || c == '\t' || c == '\n') {
      ++pos;
    } else if (c == '}') {
      ++pos;
      break;
    } else if (c == '"') {
      std::string word;
      for (++pos; pos < text.size() && text[pos] != '"'; ++pos) {
        if (text[pos] == '\\' && pos + 1 < text.size()) word += text[pos++];
        word += text[pos];
      }
      ++pos;
      words.push_back(word);
    } else if (c == '{') {
      const std::size_t start = ++pos;
      for (int depth = 1; pos < text.size() && depth > 0; ++pos)
        depth += text[pos] == '{' ? 1 : text[pos] == '}' ? -1 : 0;
      words.emplace_back(text.substr(start, pos - 1 - start));
    } else {
      const std::size_t start = pos;
      while (pos < text.size() && std::string_view(" \t\n}").find(text[pos]) == std::string_view::npos) ++pos;
      words.emplace_back(text.substr(start, pos - start));
    }
  }
  return words;
}

std::vector<Note> notes_of(std::string_view text) {
  std::vector<Note> notes;
  for (std::size_t pos = 0; (pos = text.find("{ dg-", pos)) != std::string_view::npos;) {
    Note note;
    note.at =
        1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
    pos += 2;
    const std::size_t name_end = text.find_first_of(" \t\n}", pos);
    note.name = std::string(text.substr(pos, name_end - pos));
    pos = name_end;
    note.words = read_words(text, pos);
    notes.push_back(std::move(note));
  }
  return notes;
}

std::vector<std::string> split_words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (true) {
    pos = text.find_first_not_of(" \t{}", pos);
    if (pos == std::string_view::npos) break;
    const std::size_t end = std::min(text.find_first_of(" \t{}", pos), text.size());
    words.emplace_back(text.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

// The note's selector word (`target ...`, `xfail ...`) after its first
// word, split into words; empty without one.
std::vector<std::string> selector_of(const Note& note) {
  for (std::size_t i = 1; i < note.words.size(); ++i) {
    std::vector<std::string> words = split_words(note.words[i]);
    if (!words.empty() && (words[0] == "target" || words[0] == "xfail")) return words;
  }
  return {};
}

// The __cplusplus value from which a `c++NN` target name holds.
std::string_view first_version_of(std::string_view name) {
  static const std::map<std::string_view, std::string_view> versions = {
      {"c++98", "199711L"}, {"c++03", "199711L"}, {"c++11", "201103L"},
      {"c++14", "201402L"}, {"c++17", "201703L"}, {"c++20", "202002L"},
      {"c++2a", "202002L"}, {"c++23", "202100L"}, {"c++2b", "202100L"}};
  const auto found = versions.find(name);
  return found == versions.end() ? std::string_view() : found->second;
}

bool is_language(std::string_view name) {
  return name == "c" || name == "c++" || !first_version_of(name).empty();
}

// Whether the language `name` is the run's: C, or C++ (of the standard
// whose __cplusplus is `version`).
bool is_target(std::string_view name, bool cxx, std::string_view version) {
  if (name == "c") return !cxx;
  if (name == "c++") return cxx;
  const std::string_view first = first_version_of(name);
  return cxx && version.size() == first.size() && version >= first;
}

// Whether a note with `selector` applies to the run: a selector that names
// no language (a machine, a feature of the target) is taken as met.
bool applies(const std::vector<std::string>& selector, bool cxx, std::string_view version) {
  if (selector.empty()) return true;
  if (selector[0] == "xfail") return false;
  const bool negated = selector.size() > 1 && selector[1] == "!";
  bool named = false;
  bool any = false;
  for (std::size_t i = negated ? 2 : 1; i < selector.size(); ++i) {
    if (!is_language(selector[i])) continue;
    named = true;
    any = any || is_target(selector[i], cxx, version);
  }
  return !named || any != negated;
}

// The line a note's line word names, the note standing on `line`: a number
// (0: the message names no line), `.`, `.+N`, `.-N` or the name a dg-line
// gave; -1 for none.
int note_line(std::string word, int line, const std::map<std::string, int>& named) {
  const std::vector<std::string> words = split_words(word);
  if (words.size() == 1) word = words[0];
  if (word == ".") return line;
  if (word.rfind(".+", 0) == 0) return line + std::stoi(word.substr(2));
  if (word.rfind(".-", 0) == 0) return line - std::stoi(word.substr(2));
  if (!word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return c >= '0' && c <= '9';
      }))
    return std::stoi(word);
  const auto found = named.find(word);
  return found == named.end() ? -1 : found->second;
}

}  // namespace

TestNotes read_notes(std::string_view text, bool cxx) {
  const std::vector<Note> notes = notes_of(text);
  TestNotes result;
  std::map<std::string, int> named_lines;
  // The options and the lines' names first: the notes that follow may
  // depend on the standard the options choose.
  for (const Note& note : notes) {
    if (note.words.empty()) continue;
    const bool is_options = note.name == "dg-options" || note.name == "dg-additional-options";
    if (note.name == "dg-line") named_lines[note.words[0]] = note.at;
    if (note.name == "dg-do") result.runs = result.runs && applies(selector_of(note), cxx, "");
    if (!is_options || !applies(selector_of(note), cxx, "")) continue;
    if (note.name == "dg-options") result.options.clear();
    result.has_options = true;
    for (std::string& word : split_words(note.words[0])) result.options.push_back(word);
  }
  std::string standard;
  for (const std::string& option : result.options)
    if (option.rfind("-std=", 0) == 0) standard = option.substr(5);
  const std::optional<cmode::Dialect> dialect = cmode::find_dialect(standard, true);
  const std::string_view version = dialect ? dialect->version : cmode::find_dialect("", true)->version;
  for (const Note& note : notes) {
    if ((note.name != "dg-error" && note.name != "dg-warning") || note.words.empty()) continue;
    if (!applies(selector_of(note), cxx, version)) continue;
    Expected expected;
    expected.pattern = note.words[0];
    expected.where.error = note.name == "dg-error";
    expected.where.line = note.words.size() > 3 ? note_line(note.words[3], note.at, named_lines) : note.at;
    if (expected.where.line >= 0) result.expected.push_back(expected);
  }
  return result;
}

bool names_cxx(std::string_view text) {
  for (const Note& note : notes_of(text)) {
    const std::vector<std::string> selector = selector_of(note);
    if (!selector.empty() && selector[0] == "target" &&
        std::any_of(selector.begin() + 1, selector.end(), [](const std::string& name) {
          return is_language(name) && name != "c";
        }))
      return true;
  }
  return false;
}

}  // namespace sornik
