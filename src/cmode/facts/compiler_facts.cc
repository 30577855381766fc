// The compiler's command words and arguments, and the reading of its -v report and probe output.
#include "cmode/facts/compiler_facts.h"

#include <algorithm>
#include <charconv>

namespace sornik::cmode {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The next line of `text` from `pos`, without its newline; `pos` moves past it.
std::string_view next_line(std::string_view text, std::size_t& pos) {
  const std::size_t end = std::min(text.find('\n', pos), text.size());
  const std::string_view line = text.substr(pos, end - pos);
  pos = end + 1;
  return line;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (is_blank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (is_blank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::string_view language_name(SourceLanguage language) {
  return language == SourceLanguage::c ? "c" : "c++";
}

std::vector<std::string> common_arguments(const FactsRequest& request) {
  std::vector<std::string> args = {"-x", std::string(language_name(request.language))};
  if (!request.standard.empty()) args.push_back("-std=" + request.standard);
  args.insert(args.end(), request.flags.begin(), request.flags.end());
  return args;
}

}  // namespace

std::vector<std::string> command_words(std::string_view command) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (pos < command.size()) {
    while (pos < command.size() && is_blank(command[pos])) ++pos;
    if (pos == command.size()) break;
    std::string word;
    char quote = 0;
    for (; pos < command.size() && (quote != 0 || !is_blank(command[pos])); ++pos) {
      const char c = command[pos];
      if (quote != 0 && c == quote) {
        quote = 0;
      } else if (quote == 0 && (c == '\'' || c == '"')) {
        quote = c;
      } else if (c == '\\' && quote != '\'' && pos + 1 < command.size()) {
        word += command[++pos];
      } else {
        word += c;
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::vector<std::string> facts_arguments(const FactsRequest& request) {
  std::vector<std::string> args = common_arguments(request);
  for (const char* arg : {"-dM", "-E", "-v", "-"}) args.emplace_back(arg);
  return args;
}

std::vector<std::string> probe_arguments(const FactsRequest& request) {
  std::vector<std::string> args = common_arguments(request);
  for (const char* arg : {"-E", "-P", "-"}) args.emplace_back(arg);
  return args;
}

bool read_search_list(std::string_view report, CompilerFacts& facts) {
  std::vector<std::string>* list = nullptr;
  bool complete = false;
  for (std::size_t pos = 0; pos < report.size();) {
    const std::string_view line = next_line(report, pos);
    if (line.starts_with("#include \"...\" search starts here")) {
      list = &facts.quote_dirs;
    } else if (line.starts_with("#include <...> search starts here")) {
      list = &facts.system_dirs;
    } else if (line.starts_with("End of search list")) {
      complete = list == &facts.system_dirs;
      list = nullptr;
    } else if (list != nullptr && line.starts_with(' ')) {
      std::string_view dir = trimmed(line);
      // clang marks the directories where macOS keeps frameworks.
      constexpr std::string_view kFramework = " (framework directory)";
      if (dir.ends_with(kFramework)) continue;
      if (!dir.empty()) list->emplace_back(dir);
    }
  }
  return complete;
}

std::vector<std::string> feature_tests_in(std::string_view text) {
  static constexpr std::string_view kKinds[] = {"attribute", "c_attribute", "cpp_attribute", "builtin"};
  const auto is_name_byte = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  };
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  std::vector<std::string> tests;
  for (std::size_t at = 0; (at = text.find('_', at)) != std::string_view::npos; ++at) {
    if (at < 3 || (lower(text[at - 3]) != 'h' || lower(text[at - 2]) != 'a' || lower(text[at - 1]) != 's'))
      continue;
    // The longest kind that the name ends with, and then `( name )` or `( scope::name )`.
    std::size_t pos = at + 1;
    std::string_view kind;
    for (std::string_view candidate : kKinds) {
      if (text.size() - pos < candidate.size()) continue;
      bool same = true;
      for (std::size_t i = 0; i < candidate.size() && same; ++i) same = lower(text[pos + i]) == candidate[i];
      if (same && (pos + candidate.size() == text.size() || !is_name_byte(text[pos + candidate.size()]))) {
        kind = candidate;
      }
    }
    if (kind.empty()) continue;
    pos += kind.size();
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos == text.size() || text[pos] != '(') continue;
    ++pos;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    const std::size_t name_start = pos;
    while (pos < text.size() && (is_name_byte(text[pos]) || text[pos] == ':')) ++pos;
    std::string_view name = text.substr(name_start, pos - name_start);
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (name.empty() || (name[0] >= '0' && name[0] <= '9') || name.front() == ':' || name.back() == ':' ||
        pos == text.size() || text[pos] != ')') {
      continue;
    }
    std::string test = "__has_";
    test.append(kind);
    test += '(';
    test.append(name);
    test += ')';
    if (std::find(tests.begin(), tests.end(), test) == tests.end()) tests.push_back(std::move(test));
  }
  return tests;
}

std::string feature_probe(const std::vector<std::string>& tests) {
  std::string probe;
  for (std::size_t i = 0; i < tests.size(); ++i) {
    probe += std::to_string(i);
    probe += ' ';
    probe += tests[i];
    probe += '\n';
  }
  return probe;
}

void read_feature_probe(std::string_view expanded, const std::vector<std::string>& tests,
                        CompilerFacts& facts) {
  std::vector<std::string> answers(tests.size(), "0");
  for (std::size_t pos = 0; pos < expanded.size();) {
    const std::string_view line = trimmed(next_line(expanded, pos));
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), index);
    if (error != std::errc() || end == line.data() + line.size() || *end != ' ' || index >= tests.size())
      continue;
    const std::string_view value = trimmed(line.substr(static_cast<std::size_t>(end - line.data())));
    if (value.starts_with("__has_")) {
      answers[index].clear();
    } else if (!value.empty() && value.find_first_not_of("0123456789") == std::string_view::npos) {
      answers[index] = value;
    }
  }
  for (std::size_t i = 0; i < tests.size(); ++i) facts.features.set(tests[i], answers[i]);
}

}  // namespace sornik::cmode
