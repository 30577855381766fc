// Argument substitution (convert_str with whole-word matching, as line
// expansion calls it) over a fuzzer-chosen parameter list, argument list and
// body (input: the three texts, separated by section marks). A fatal stop is
// never expected here: arguments are inserted as written. When the
// parameters are identifiers and no parenthesis or quote protects a comma in
// the arguments, the result must be exactly that of replacing each parameter
// by its argument, as a whole word, one parameter after the other.
// Inputs that could grow the body exponentially are passed over.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/fatal.h"
#include "fuzz_support.h"
#include "textual/expand/argument_substitution.h"
#include "textual/expand/direct_substitution.h"
#include "textual/replace/replace_engine.h"

namespace {

using sornik::fuzzing::fail;
using sornik::fuzzing::require_equal;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f'; }
bool is_word_byte(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool is_lead(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
}

std::string_view trimmed(std::string_view word) {
  while (!word.empty() && is_blank(word.front())) word.remove_prefix(1);
  while (!word.empty() && is_blank(word.back())) word.remove_suffix(1);
  return word;
}

std::vector<std::string_view> split_at_commas(std::string_view list) {
  std::vector<std::string_view> words;
  for (std::size_t comma; (comma = list.find(',')) != std::string_view::npos; list.remove_prefix(comma + 1)) {
    words.push_back(trimmed(list.substr(0, comma)));
  }
  words.push_back(trimmed(list));
  return words;
}

bool is_identifier(std::string_view word) {
  if (word.empty() || (word.front() >= '0' && word.front() <= '9')) return false;
  for (const char c : word) {
    if (!is_word_byte(c)) return false;
  }
  return true;
}

// Every whole-word occurrence of `name` in `text` replaced by `value`,
// stepping over two-byte characters as the engine does.
std::string replace_word(const std::string& text, std::string_view name, std::string_view value) {
  std::string result;
  bool after_two_byte = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = pos + name.size();
    const bool starts_word = !after_two_byte && (pos == 0 || !is_word_byte(text[pos - 1]));
    const bool ends_word = end == text.size() || (end < text.size() && !is_word_byte(text[end]) &&
                                                  static_cast<unsigned char>(text[end]) < 0x80);
    if (starts_word && ends_word && text.compare(pos, name.size(), name) == 0) {
      result.append(value);
      pos = end;
      after_two_byte = false;
    } else {
      after_two_byte = is_lead(text[pos]) && pos + 1 < text.size() && text[pos + 1] != '\0';
      const std::size_t width = after_two_byte ? 2 : 1;
      result.append(text, pos, width);
      pos += width;
    }
  }
  return result;
}

// The plain substitution, or no expectation when the lists are not plain.
std::optional<std::optional<std::string>> expected_substitution(std::string_view params,
                                                                std::string_view args,
                                                                std::string_view body) {
  constexpr std::string_view kProtecting = "()\"'";
  if (params.size() + args.size() > 1000 || params.find_first_of(kProtecting) != std::string_view::npos ||
      args.find_first_of(kProtecting) != std::string_view::npos) {
    return std::nullopt;
  }
  const auto names = split_at_commas(params);
  const auto values = split_at_commas(args);
  std::string text(body);
  std::size_t pairs = 0;
  for (;; ++pairs) {
    const std::string_view name = pairs < names.size() ? names[pairs] : "";
    const std::string_view value = pairs < values.size() ? values[pairs] : "";
    if (name.empty() && value.empty()) break;
    if (name.empty() || value.empty()) return std::optional<std::string>();
    if (!is_identifier(name)) return std::nullopt;
    text = replace_word(text, name, value);
  }
  if (pairs == 0) return std::optional<std::string>();
  return std::optional<std::string>(text);
}

// The template convert_str builds, with every argument byte replaced by a
// plain one: the engine inserts arguments as written, so both grow a text
// alike, while the parameters keep whatever pattern meaning they have.
std::string plain_template(std::string_view params, std::string_view args) {
  std::string templ;
  std::size_t param_pos = 0;
  std::size_t arg_pos = 0;
  while (true) {
    std::string_view param;
    std::string_view arg;
    param_pos = sornik::get_csvword(params, param_pos, param);
    arg_pos = sornik::get_csvword(args, arg_pos, arg);
    if (param.empty() || arg.empty()) return templ;
    templ.append("(").append(param).append("):").append(arg.size(), 'x').append(",");
  }
}

std::string shown(const std::optional<std::string>& result) {
  return result ? "result: " + *result : "no result";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sections = sornik::fuzzing::split_sections(data, size, 3);
  if (sornik::fuzzing::template_growth_bound(plain_template(sections[0], sections[1]), sections[2].size()) >
      sornik::fuzzing::kMostBytes) {
    return -1;
  }
  const auto limits = sornik::fuzzing::fuzz_options().replace_limits;
  sornik::ArgumentSubstitution substitution(limits);
  sornik::fuzzing::CapturedErrors errors;
  std::optional<std::string> result;
  try {
    if (const auto converted = substitution.convert_str(1, sections[0], sections[1], sections[2]))
      result = *converted;
  } catch (const sornik::FatalStop&) {
    // Only a parameter name can hold a "$" sequence the engine refuses.
    if (sections[0].find('$') == std::string_view::npos)
      fail("no fatal stop for arguments", "", errors.text());
    return 0;
  }
  if (const auto expected = expected_substitution(sections[0], sections[1], sections[2])) {
    require_equal("whole-word substitution of plain arguments", shown(*expected), shown(result));
  }
  // Where the one-pass substitution takes a call, the engine's template gives the same.
  if (const auto direct = substitution.substitute_words(sections[0], sections[1], sections[2])) {
    const std::string fast(*direct);
    sornik::ArgumentSubstitution engine_side(limits);
    const auto by_template = engine_side.convert_str_by_template(1, sections[0], sections[1], sections[2]);
    require_equal("one-pass substitution agrees with the template engine",
                  shown(by_template ? std::optional<std::string>(*by_template) : std::nullopt), shown(fast));
  }
  return 0;
}
