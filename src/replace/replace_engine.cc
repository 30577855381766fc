#include "replace/replace_engine.h"

#include <string>

#include "replace/pattern_match.h"
#include "replace/replacement_text.h"
#include "services/byte_search.h"
#include "services/diagnostics.h"

namespace sornik {

namespace {

// The text the current pair reads and the result it builds. They are kept
// for the whole run and only grow, so that a call allocates nothing once
// they are large enough.
struct EngineBuffers {
  std::string work_copy;
  std::string result;
};

constexpr std::size_t kStartCapacity = 4096;

// Pairs apply to the text the pairs before them produced, so a template can
// double the text with every pair. A result beyond this size, or a call that
// would scan more than the work limit over all its pairs, is refused rather
// than exhausting memory or time.
constexpr std::size_t kResultLimit = std::size_t{64} << 20;
constexpr std::size_t kWorkLimit = std::size_t{256} << 20;

EngineBuffers buffers;

// A from-part that begins with "(", decimal digits and ")" selects a field:
// 0 is refused, 1 is the whole text, and 2 or more select a field that a
// text without separators does not have.
enum class FieldSelector { kNone, kZero, kWholeText, kMissingField };

FieldSelector read_field_selector(std::string_view from, std::string_view& pattern) {
  if (from.empty() || from.front() != '(') return FieldSelector::kNone;
  std::size_t close = 1;
  while (close < from.size() && from[close] >= '0' && from[close] <= '9') ++close;
  if (close == from.size() || from[close] != ')') return FieldSelector::kNone;
  pattern = from.substr(close + 1);
  std::string_view digits = from.substr(1, close - 1);
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  if (digits.empty()) return FieldSelector::kZero;
  return digits == "1" ? FieldSelector::kWholeText : FieldSelector::kMissingField;
}

// Writes `text` with every match of `pattern` replaced as `to` says into the
// result buffer. Matches never overlap, and the scan never restarts inside a
// match or a two-byte character. False when the result grows beyond its limit.
bool replace_matches(std::string_view text, std::string_view pattern, std::string_view to) {
  std::string& result = buffers.result;
  result.clear();
  std::size_t copied_up_to = 0;
  std::size_t pos = 0;
  bool after_two_byte = false;
  const std::optional<char> first_byte = first_byte_of_match(pattern);
  while (pos < text.size()) {
    if (first_byte && text[pos] != *first_byte) {
      after_two_byte = starts_two_byte_char(text, pos);
      pos += after_two_byte ? 2 : 1;
    } else if (const std::optional<std::size_t> end = checkstr(text, pos, pattern, after_two_byte)) {
      result.append(text.substr(copied_up_to, pos - copied_up_to));
      make_replacement(text.substr(pos, *end - pos), result, to);
      if (result.size() > kResultLimit) return false;
      // A match may end inside a two-byte character; its second byte goes with it.
      while (pos < *end) {
        after_two_byte = starts_two_byte_char(text, pos);
        pos += after_two_byte ? 2 : 1;
      }
      copied_up_to = pos;
    } else {
      after_two_byte = starts_two_byte_char(text, pos);
      pos += after_two_byte ? 2 : 1;
    }
  }
  result.append(text.substr(copied_up_to));
  return result.size() <= kResultLimit;
}

}  // namespace

std::optional<std::size_t> get_pair(std::string_view templ, std::size_t pos, TemplatePair& pair) {
  const std::size_t start = pos;
  std::size_t to_start = std::string_view::npos;
  std::size_t from_end = std::string_view::npos;
  while (pos < templ.size() && templ[pos] != ',') {
    const char c = templ[pos];
    if ((c == '\\' && pos + 1 < templ.size()) || starts_two_byte_char(templ, pos)) {
      pos += 2;
    } else {
      if (c == ':') {
        if (from_end == std::string_view::npos) from_end = pos;
        to_start = pos + 1;
      }
      ++pos;
    }
  }
  const std::size_t pair_end = pos;
  if (pos < templ.size()) ++pos;
  if (from_end == std::string_view::npos) return std::nullopt;
  pair.from = templ.substr(start, from_end - start);
  pair.to = templ.substr(to_start, pair_end - to_start);
  return pos;
}

std::optional<std::string_view> replace_pair(std::string_view text, std::string_view from,
                                             std::string_view to) {
  buffers.work_copy.assign(text);
  const std::string_view work = buffers.work_copy;
  std::string_view pattern = from;
  switch (read_field_selector(from, pattern)) {
    case FieldSelector::kZero: errmsg("%s: bad \"<replace>\" parameter\n", from); return std::nullopt;
    case FieldSelector::kMissingField: buffers.result.assign(work); return buffers.result;
    case FieldSelector::kNone:
    case FieldSelector::kWholeText: break;
  }
  if (pattern.empty()) {
    // An empty pattern matches nowhere.
    buffers.result.assign(work);
    return buffers.result;
  }
  const bool replaced = replace_matches(work, pattern, to);
  release_text();
  if (!replaced) return std::nullopt;
  return buffers.result;
}

std::optional<std::string_view> replace_all(std::string_view templ, std::string_view subject) {
  if (buffers.result.capacity() < kStartCapacity) {
    buffers.work_copy.reserve(kStartCapacity);
    buffers.result.reserve(kStartCapacity);
  }
  std::string_view text = subject;
  std::size_t pos = 0;
  std::size_t work = 0;
  TemplatePair pair;
  while (true) {
    const std::optional<std::size_t> next = get_pair(templ, pos, pair);
    if (!next || pair.from.empty()) {
      errmsg("%s: bad <replace>\n", templ);
      return std::nullopt;
    }
    work += text.size();
    if (work > kWorkLimit) return std::nullopt;
    const std::optional<std::string_view> replaced = replace_pair(text, pair.from, pair.to);
    if (!replaced) return std::nullopt;
    text = *replaced;
    if (*next == templ.size()) return text;
    pos = *next;
  }
}

void reset_replace_engine() {
  buffers = {};
  reset_captures();
}

}  // namespace sornik
