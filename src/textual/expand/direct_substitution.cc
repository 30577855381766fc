// One-pass substitution of plain calls from parameter lists and bodies cut
// once.
#include "textual/expand/direct_substitution.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/byte_class.h"
#include "common/byte_search.h"
#include "textual/expand/argument_substitution.h"
#include "textual/replace/replace_engine.h"

namespace sornik {

namespace {

// Bodies cut once and kept: a table of this many slots of two ways, each way
// for one parameter list and body of at most kLongestKept bytes together.
constexpr std::size_t kKeptSlots = 2048;
constexpr std::size_t kLongestKept = 1024;

// A parameter whose pattern is a plain whole word: name bytes, not all of
// them digits (the engine reads "(12)" as a field selector).
bool is_plain_param(std::string_view word) {
  bool digits_only = true;
  for (const char c : word) {
    if (!is_name_byte(c)) return false;
    digits_only = digits_only && c >= '0' && c <= '9';
  }
  return !digits_only;
}

// The parameter whose whole-word pattern matches at `pos` of `body`, as the
// engine tries it there: not after a word byte or a two-byte character, and
// not before a word byte or a byte of 0x80 or above.
int matching_param(std::string_view body, std::size_t pos, bool after_two_byte, const CutBody& cut) {
  if (after_two_byte || (pos > 0 && is_name_byte(body[pos - 1])) || !is_name_byte(body[pos])) return -1;
  std::size_t end = pos;
  while (end < body.size() && is_name_byte(body[end])) ++end;
  if (end < body.size() && static_cast<unsigned char>(body[end]) >= 0x80) return -1;
  const std::string_view word = body.substr(pos, end - pos);
  for (std::size_t i = 0; i < cut.count; ++i) {
    if (word == cut.names[i]) return static_cast<int>(i);
  }
  return -1;
}

// Cuts cut.params as convert_str does; false unless it holds at most
// kMostParams plain words (at least one).
bool cut_params(CutBody& cut) {
  const std::string_view params = cut.params;
  if (params.size() > kLongestList) return false;
  std::size_t pos = 0;
  while (true) {
    std::string_view param;
    pos = get_csvword(params, pos, param);
    if (param.empty()) break;
    if (cut.count == kMostParams || !is_plain_param(param)) return false;
    cut.names[cut.count++] = param;
    const auto first = static_cast<std::uint8_t>(param[0]);
    cut.first_bytes[first >> 6] |= std::uint64_t{1} << (first & 63);
  }
  return cut.count != 0;
}

}  // namespace

void cut_body(std::string_view params, std::string_view body, CutBody& cut) {
  cut.params.assign(params);
  cut.body.assign(body);
  cut.count = 0;
  cut.first_bytes.fill(0);
  cut.matches.fill(0);
  cut.segments.clear();
  cut.usable = cut_params(cut);
  if (!cut.usable) return;
  const std::string_view text = cut.body;
  std::size_t copied = 0;
  bool after_two_byte = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const int param = matching_param(text, pos, after_two_byte, cut);
    if (param < 0) {
      after_two_byte = starts_two_byte_char(text, pos);
      pos += after_two_byte ? 2 : 1;
      continue;
    }
    cut.segments.push_back({copied, pos - copied, param});
    ++cut.matches[param];
    pos += cut.names[param].size();
    copied = pos;
    after_two_byte = false;
  }
  cut.segments.push_back({copied, text.size() - copied, -1});
}

namespace {

// The classes of the bytes of a plain argument list: a name byte may begin
// a word to compare with the parameters' names; NUL, backslash, colon,
// dollar sign and lead bytes make the argument other than plain text.
constexpr std::array<ListByte, 256> kPlainListBytes = [] {
  std::array<ListByte, 256> bytes{};
  for (int c = 0; c < 256; ++c) {
    if ((kByteClass[c] & kNameByte) != 0) bytes[c] = ListByte::kWordStart;
    if ((kByteClass[c] & kLeadByte) != 0) bytes[c] = ListByte::kRefused;
  }
  for (const unsigned char c : {',', '(', ')', '"', '\''}) bytes[c] = ListByte::kSeparating;
  for (const unsigned char c : {'\0', '\\', ':', '$'}) bytes[c] = ListByte::kRefused;
  return bytes;
}();

// Where the whole word of `args` that begins at `pos` ends; kRefusedWord
// when it is a parameter's name, which a later parameter's pattern would
// match in the text the engine builds.
std::size_t plain_word_end(std::string_view args, std::size_t pos, const CutBody& cut) {
  std::size_t end = pos + 1;
  while (end < args.size() && is_name_byte(args[end])) ++end;
  const auto first = static_cast<std::uint8_t>(args[pos]);
  if (((cut.first_bytes[first >> 6] >> (first & 63)) & 1) == 0) return end;
  const std::string_view word = args.substr(pos, end - pos);
  for (std::size_t i = 0; i < cut.count; ++i) {
    if (word == cut.names[i]) return kRefusedWord;
  }
  return end;
}

// Cuts `args` as get_csvword does into exactly cut.count words, each plain
// text without a parameter's name; false when the list is of any other kind.
bool cut_plain_arguments(std::string_view args, const CutBody& cut, ArgumentWords& words) {
  static_assert(kLongestList < kMaxWord);
  if (args.size() > kLongestList) return false;
  // Read once: the words written below might, as far as the compiler knows, lie in the cut.
  const std::size_t params = cut.count;
  const auto plain_word = [&cut](std::string_view text, std::size_t pos) {
    return plain_word_end(text, pos, cut);
  };
  std::size_t pos = 0;
  for (std::size_t count = 0;; ++count) {
    std::string_view word;
    pos = cut_list_word<true>(args, pos, word, kPlainListBytes, plain_word);
    if (pos == kRefusedWord) return false;
    // The lists end together where both words are empty.
    if (word.empty()) return count == params;
    if (count == params) return false;
    words[count] = word;
  }
}

// Whether the engine's texts after each pair (the body with the first k
// parameters replaced) all stay within its limits.
bool within_limits(const CutBody& cut, const ArgumentWords& args, const ReplaceLimits& limits) {
  std::size_t size = cut.body.size();
  std::size_t scanned = 0;
  for (std::size_t i = 0; i < cut.count; ++i) {
    scanned += size;
    size = size - cut.matches[i] * cut.names[i].size() + cut.matches[i] * args[i].size();
    if (size > limits.result || scanned > limits.scan) return false;
  }
  return true;
}

}  // namespace

bool substitute_cut(const CutBody& cut, std::string_view args, const ReplaceLimits& limits,
                    ArgumentWords& words, std::string& out) {
  if (!cut.usable || !cut_plain_arguments(args, cut, words) || !within_limits(cut, words, limits))
    return false;
  std::size_t size = 0;
  for (const Segment& segment : cut.segments)
    size += segment.literal_size + (segment.param >= 0 ? words[segment.param].size() : 0);
  const std::size_t start = out.size();
  out.resize(start + size);
  char* to = out.data() + start;
  for (const Segment& segment : cut.segments) {
    std::memcpy(to, cut.body.data() + segment.literal_start, segment.literal_size);
    to += segment.literal_size;
    if (segment.param < 0) continue;
    const std::string_view word = words[segment.param];
    std::memcpy(to, word.data(), word.size());
    to += word.size();
  }
  return true;
}

// The cut form of `params` and `body`, kept when they are short. A slot is
// chosen by where the texts lie and holds copies of them, so a text that
// changes in place is cut again.
const CutBody& WordSubstitution::cut_for(std::string_view params, std::string_view body) {
  if (params.size() + body.size() > kLongestKept) {
    cut_body(params, body, unkept_body_);
    return unkept_body_;
  }
  const std::uint64_t where =
      std::hash<const char*>()(body.data()) ^ (std::hash<const char*>()(params.data()) << 7) ^ body.size();
  if (kept_bodies_.empty()) kept_bodies_.resize(kKeptSlots);
  auto& ways = kept_bodies_[((where * 0x9E3779B97F4A7C15) >> 40) % kKeptSlots];
  const auto holds = [&](const std::unique_ptr<CutBody>& way) {
    return way && way->params == params && way->body == body;
  };
  if (holds(ways[0])) return *ways[0];
  std::swap(ways[0], ways[1]);
  if (holds(ways[0])) return *ways[0];
  if (!ways[0]) ways[0] = std::make_unique<CutBody>();
  cut_body(params, body, *ways[0]);
  return *ways[0];
}

std::optional<std::string_view> WordSubstitution::substitute_words(std::string_view params,
                                                                   std::string_view args,
                                                                   std::string_view body,
                                                                   const ReplaceLimits& limits) {
  // A text that lies in the last result (which this call overwrites) is left to the engine.
  for (const std::string_view text : {params, args, body}) {
    if (!text.empty() && std::less_equal<>()(result_.data(), text.data()) &&
        std::less<>()(text.data(), result_.data() + result_.capacity()))
      return std::nullopt;
  }
  result_.clear();
  if (!substitute_cut(cut_for(params, body), args, limits, argument_words_, result_)) return std::nullopt;
  return result_;
}

}  // namespace sornik
