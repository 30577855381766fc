// The substitution of a call's arguments for its parameters: the word
// splitter that cuts both lists, and the way through the replacement engine.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/byte_class.h"
#include "common/byte_search.h"
#include "textual/expand/direct_substitution.h"
#include "textual/replace/replace_engine.h"

namespace sornik {

// A word holds at most this many bytes; a longer one is cut after them.
inline constexpr std::size_t kMaxWord = 1024;

// What cut_list_word returns when the list is refused.
inline constexpr std::size_t kRefusedWord = std::string_view::npos;

// How cut_list_word treats a byte of a list: copied into the word; a comma,
// bracket or quote; a backslash or lead byte, which escape the next byte in
// a literal; a byte that begins a word `on_word` looks at; a byte that makes
// the splitter refuse the list.
enum class ListByte : std::uint8_t { kOrdinary, kSeparating, kEscaping, kWordStart, kRefused };

// The classes for cutting any list: words are not looked at, nothing is refused.
inline constexpr std::array<ListByte, 256> kAnyListBytes = [] {
  std::array<ListByte, 256> bytes{};
  for (int c = 0; c < 256; ++c) {
    if ((kByteClass[c] & kLeadByte) != 0) bytes[c] = ListByte::kEscaping;
  }
  bytes['\\'] = ListByte::kEscaping;
  for (const unsigned char c : {',', '(', ')', '"', '\''}) bytes[c] = ListByte::kSeparating;
  return bytes;
}();

// Cuts the next comma-separated word of `text` from `pos` into `word` (blanks
// trimmed, at most kMaxWord bytes) and returns the position of the following
// word. A comma separates only outside parentheses and outside string and
// character literals; inside a literal a backslash escapes the next byte and
// a two-byte character is one unit. `bytes` classes the bytes; at a
// kWordStart byte, `on_word(text, pos)` returns where the scan goes on, or
// kRefusedWord to refuse the list, as a kRefused byte does. A caller whose
// lists hold fewer than kMaxWord bytes may leave out the cut (`kShortList`).
template <bool kShortList = false, typename OnWord>
std::size_t cut_list_word(std::string_view text, std::size_t pos, std::string_view& word,
                          const std::array<ListByte, 256>& bytes, OnWord&& on_word) {
  const std::size_t blanks_end = kShortList ? text.size() : std::min(text.size(), pos + kMaxWord);
  while (pos < blanks_end && is_blank(text[pos])) ++pos;
  const std::size_t start = pos;
  const std::size_t limit = kShortList ? text.size() : std::min(text.size(), pos + kMaxWord);
  int depth = 0;
  char quote = 0;
  while (pos < limit) {
    const char c = text[pos];
    const ListByte kind = bytes[static_cast<std::uint8_t>(c)];
    if (kind == ListByte::kWordStart) {
      pos = on_word(text, pos);
      if (pos == kRefusedWord) return kRefusedWord;
      continue;
    }
    if (kind == ListByte::kRefused) return kRefusedWord;
    if (kind == ListByte::kSeparating) {
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == ',' && depth == 0) {
        break;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '(') {
        ++depth;
      } else if (c == ')' && depth > 0) {
        --depth;
      }
    } else if (kind == ListByte::kEscaping && quote != 0 &&
               ((c == '\\' && pos + 1 < text.size()) || starts_two_byte_char(text, pos))) {
      ++pos;
    }
    ++pos;
  }
  // An escaped byte may take the scan one past the limit.
  const std::size_t end = std::min(pos, limit);
  word = text.substr(start, end - start);
  while (!word.empty() && is_blank(word.back())) word.remove_suffix(1);
  // A comma right after the word ends it, also when the word was cut there.
  return end < text.size() && text[end] == ',' ? end + 1 : end;
}

// cut_list_word for any list.
inline std::size_t get_csvword(std::string_view text, std::size_t pos, std::string_view& word) {
  return cut_list_word(text, pos, word, kAnyListBytes, [](std::string_view, std::size_t at) {
    return at;
  });
}

// The substitution of the calls of a run: the replacement engine, the
// one-pass substitution that takes the plain calls, and the template built
// for the engine, all kept from call to call.
class ArgumentSubstitution {
 public:
  // Substitution with the engine's `limits`, or with those of the machine.
  explicit ArgumentSubstitution(std::optional<ReplaceLimits> limits = std::nullopt) : engine_(limits) {}
  ArgumentSubstitution(const ArgumentSubstitution&) = delete;
  ArgumentSubstitution& operator=(const ArgumentSubstitution&) = delete;

  const ReplaceLimits& limits() const { return engine_.limits(); }
  ReplaceEngine& engine() { return engine_; }

  // The body with each parameter replaced by its actual argument (whole
  // words when `flag` is nonzero); nullopt when the counts differ, the
  // template limit is exceeded or the engine refused the template. Valid
  // until the next call.
  std::optional<std::string_view> convert_str(int flag, std::string_view params, std::string_view args,
                                              std::string_view body);

  // convert_str through a template of the replacement engine, the way it
  // goes for every call that substitute_words does not take; tests and
  // fuzzers hold the two ways to the same results.
  std::optional<std::string_view> convert_str_by_template(int flag, std::string_view params,
                                                          std::string_view args, std::string_view body);

  // The one-pass substitution of a plain call (WordSubstitution) within the
  // engine's limits; nullopt when it does not take the call.
  std::optional<std::string_view> substitute_words(std::string_view params, std::string_view args,
                                                   std::string_view body) {
    return words_.substitute_words(params, args, body, engine_.limits());
  }

 private:
  ReplaceEngine engine_;
  WordSubstitution words_;
  std::string template_buffer_;
};

}  // namespace sornik
