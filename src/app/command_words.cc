// A command string cut into words as a POSIX shell would cut it.
#include "app/command_words.h"

namespace sornik {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The bytes a backslash keeps its meaning before inside double quotes.
bool escapable_in_double_quotes(char c) { return c == '$' || c == '`' || c == '"' || c == '\\' || c == '\n'; }

}  // namespace

std::optional<std::vector<std::string>> split_command_words(std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;  // a word is begun, even by an empty pair of quotes
  std::size_t at = 0;
  while (at < command.size()) {
    const char c = command[at];
    if (is_blank(c)) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
      ++at;
      continue;
    }
    in_word = true;
    if (c == '\\') {
      if (at + 1 >= command.size()) return std::nullopt;
      if (command[at + 1] == '\n') {
        // A joined line continues the word, as if neither byte were there.
        in_word = !word.empty();
      } else {
        word += command[at + 1];
      }
      at += 2;
    } else if (c == '\'') {
      const std::size_t close = command.find('\'', at + 1);
      if (close == std::string_view::npos) return std::nullopt;
      word.append(command.substr(at + 1, close - at - 1));
      at = close + 1;
    } else if (c == '"') {
      ++at;
      for (;; ++at) {
        if (at >= command.size()) return std::nullopt;
        if (command[at] == '"') break;
        if (command[at] == '\\' && at + 1 < command.size() && escapable_in_double_quotes(command[at + 1])) {
          ++at;
          if (command[at] == '\n') continue;
        }
        word += command[at];
      }
      ++at;
    } else {
      word += c;
      ++at;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

}  // namespace sornik
