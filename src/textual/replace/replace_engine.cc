// The replacement engine: from:to pairs of a template applied one after
// another to a text.
#include "textual/replace/replace_engine.h"

#include <algorithm>
#include <limits>
#include <string>

#include "common/byte_search.h"
#include "common/diagnostics.h"
#include "common/memory.h"
#include "textual/replace/pattern_match.h"
#include "textual/replace/replacement_text.h"

namespace sornik {

namespace {

constexpr std::size_t kStartCapacity = 4096;

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

}  // namespace

// Pairs apply to the text the pairs before them produced, so a template can
// double the text with every pair. A result that could not be held, or a call
// whose pairs would read so much that it took minutes (at roughly 100 MB a
// second where matches are dense), is refused as memory that cannot be had.
ReplaceLimits machine_replace_limits() { return {largest_text_size(), std::size_t{16} << 30}; }

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

// Calls `on_match(pos, end, resume)` for every match of `pattern` in `text`,
// in order: the match runs from pos to end, and the scan resumes at resume,
// after the character in which the match ends. Matches never overlap, and the
// scan never restarts inside a match or a two-byte character.
template <typename OnMatch>
void ReplaceEngine::for_each_match(std::string_view text, std::string_view pattern, OnMatch on_match) {
  std::size_t pos = 0;
  bool after_two_byte = false;
  const std::optional<char> first_byte = first_byte_of_match(pattern);
  while (pos < text.size()) {
    std::optional<std::size_t> end;
    if (!first_byte || text[pos] == *first_byte) end = matcher_.checkstr(text, pos, pattern, after_two_byte);
    const std::size_t start = pos;
    // A match may end inside a two-byte character; its second byte goes with it.
    do {
      after_two_byte = starts_two_byte_char(text, pos);
      pos += after_two_byte ? 2 : 1;
    } while (end && pos < *end);
    if (end) on_match(start, *end, pos);
  }
}

// Whether the result of a pair might outgrow the limit: a match takes at
// least one byte and, unless the to-part inserts what was matched or
// captured, is replaced by at most the bytes of the to-part.
bool ReplaceEngine::may_outgrow(std::string_view text, std::string_view to) const {
  if (inserts_match(to)) return true;
  return to.size() > 1 && text.size() > limits_.result / to.size();
}

// The exact size of the result of a pair, found without building it. The
// matches are tried as the build tries them, so the captures end as they would.
std::size_t ReplaceEngine::result_size(std::string_view text, std::string_view pattern, std::string_view to) {
  std::string& scratch = result_;
  scratch.clear();
  const bool varies = inserts_match(to);
  const std::size_t fixed = varies ? 0 : make_replacement(matcher_, {}, scratch, to);
  std::size_t size = text.size();
  for_each_match(text, pattern, [&](std::size_t pos, std::size_t end, std::size_t resume) {
    std::size_t replacement = fixed;
    if (varies) {
      scratch.clear();
      replacement = make_replacement(matcher_, text.substr(pos, end - pos), scratch, to);
    }
    // Saturates rather than wraps; any such size is refused anyway.
    size =
        std::min(size - (resume - pos), std::numeric_limits<std::size_t>::max() - replacement) + replacement;
  });
  return size;
}

// Writes `text` with every match of `pattern` replaced as `to` says into the
// result buffer.
void ReplaceEngine::replace_matches(std::string_view text, std::string_view pattern, std::string_view to) {
  std::string& result = result_;
  result.clear();
  std::size_t copied_up_to = 0;
  for_each_match(text, pattern, [&](std::size_t pos, std::size_t end, std::size_t resume) {
    result.append(text.substr(copied_up_to, pos - copied_up_to));
    make_replacement(matcher_, text.substr(pos, end - pos), result, to);
    copied_up_to = resume;
  });
  result.append(text.substr(copied_up_to));
}

std::optional<std::string_view> ReplaceEngine::replace_pair(std::string_view text, std::string_view from,
                                                            std::string_view to) {
  work_copy_.assign(text);
  const std::string_view work = work_copy_;
  std::string_view pattern = from;
  switch (read_field_selector(from, pattern)) {
    case FieldSelector::kZero: errmsg("%s: bad \"<replace>\" parameter\n", from); return std::nullopt;
    case FieldSelector::kMissingField: result_.assign(work); return result_;
    case FieldSelector::kNone:
    case FieldSelector::kWholeText: break;
  }
  if (pattern.empty()) {
    // An empty pattern matches nowhere.
    result_.assign(work);
    return result_;
  }
  if (may_outgrow(work, to)) {
    const std::size_t size = result_size(work, pattern, to);
    if (size > limits_.result) memory_exhausted(size);
  }
  replace_matches(work, pattern, to);
  matcher_.release_text();
  return result_;
}

std::optional<std::string_view> ReplaceEngine::replace_all(std::string_view templ, std::string_view subject) {
  if (result_.capacity() < kStartCapacity) {
    work_copy_.reserve(kStartCapacity);
    result_.reserve(kStartCapacity);
  }
  std::string_view text = subject;
  std::size_t pos = 0;
  std::size_t scanned = 0;
  TemplatePair pair;
  while (true) {
    const std::optional<std::size_t> next = get_pair(templ, pos, pair);
    if (!next || pair.from.empty()) {
      errmsg("%s: bad <replace>\n", templ);
      return std::nullopt;
    }
    scanned += text.size();
    if (scanned > limits_.scan) memory_exhausted(scanned);
    const std::optional<std::string_view> replaced = replace_pair(text, pair.from, pair.to);
    if (!replaced) return std::nullopt;
    text = *replaced;
    if (*next == templ.size()) return text;
    pos = *next;
  }
}

}  // namespace sornik
