// Matching one pattern of a replacement template at one position
// (checkstr), and the captures it fills.
#include "textual/replace/pattern_match.h"

#include <array>
#include <cstdint>

#include "common/byte_class.h"
#include "common/byte_search.h"

namespace sornik {

namespace {

// The capture classes other than "$$", in the order of the matcher's known runs.
constexpr std::string_view kRunClasses = "Aadgcxs";

bool is_ascii_digit(unsigned char c) { return c >= '0' && c <= '9'; }
bool is_ascii_alpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Whether `c` belongs to the run that the pattern sequence "$<letter>" takes.
// Bytes 0x80 and above belong to no class except that of "$$".
bool in_capture_class(char letter, unsigned char c) {
  switch (letter) {
    case '$': return true;
    case 'A': return is_ascii_alpha(c) || is_ascii_digit(c);
    case 'a': return is_ascii_alpha(c);
    case 'd': return is_ascii_digit(c);
    case 'g': return c >= 0x21 && c <= 0x7E;
    case 'c': return c < 0x20 || c == 0x7F;
    case 'x': return is_ascii_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    case 's': return is_blank(static_cast<char>(c));
    default: return false;
  }
}

// Whether "$<letter>" in a pattern is a capture.
bool is_capture_letter(char letter) {
  return letter == '$' || kRunClasses.find(letter) != std::string_view::npos;
}

// A text byte that may not follow a whole word.
bool continues_word(char c) { return is_name_byte(c) || static_cast<std::uint8_t>(c) >= 0x80; }

bool is_whole_word_form(std::string_view pattern) {
  return pattern.size() >= 3 && pattern.front() == '(' && pattern.back() == ')';
}

}  // namespace

// The buffer that the pattern sequence "$<letter>" fills, or null.
std::string* PatternMatcher::capture_target(char letter) {
  switch (letter) {
    case '$':
    case 'A': return &capture_buffers_.arg_A;
    case 'a': return &capture_buffers_.arg_a;
    case 'd': return &capture_buffers_.arg_d;
    case 'g': return &capture_buffers_.arg_g;
    case 'c': return &capture_buffers_.arg_c;
    case 'x': return &capture_buffers_.arg_x;
    case 's': return &capture_buffers_.arg_s;
    default: return nullptr;
  }
}

// Keeps `run` as the pending capture of `buffer`, in the slot it took first.
void PatternMatcher::keep_pending(std::string* buffer, std::string_view run) {
  std::size_t slot = 0;
  while (pending_captures_[slot].buffer != nullptr && pending_captures_[slot].buffer != buffer) ++slot;
  pending_captures_[slot] = {buffer, run};
}

void PatternMatcher::settle_captures() {
  for (PendingCapture& pending : pending_captures_) {
    if (pending.buffer == nullptr) break;
    pending.buffer->assign(pending.run);
    pending = {};
  }
}

// Where the run of class `letter` that begins at `pos` ends.
std::size_t PatternMatcher::run_end(std::string_view text, std::size_t pos, char letter) {
  static_assert(kRunClasses.size() == kClasses);
  if (letter == '$') return text.size();
  KnownRun& known = known_runs_[kRunClasses.find(letter)];
  if (known.text == text.data() && known.text_size == text.size() && known.begin <= pos && pos < known.end)
    return known.end;
  std::size_t end = pos;
  while (end < text.size() && in_capture_class(letter, static_cast<unsigned char>(text[end]))) ++end;
  known = {text.data(), text.size(), pos, end};
  return end;
}

const CaptureBuffers& PatternMatcher::captures() {
  settle_captures();
  return capture_buffers_;
}

const std::string* PatternMatcher::capture_for(char letter) {
  settle_captures();
  return letter == '$' ? nullptr : capture_target(letter);
}

void PatternMatcher::release_text() {
  settle_captures();
  known_runs_.fill({});
}

std::optional<char> first_byte_of_match(std::string_view pattern) {
  if (is_whole_word_form(pattern)) pattern = pattern.substr(1, pattern.size() - 2);
  if (pattern.empty() || pattern.front() == '?') return std::nullopt;
  if (pattern.front() == '\\') {
    if (pattern.size() == 1) return std::nullopt;
    return pattern[1];
  }
  if (pattern.front() == '$' && pattern.size() > 1 && is_capture_letter(pattern[1])) return std::nullopt;
  return pattern.front();
}

std::optional<std::size_t> PatternMatcher::checkstr(std::string_view text, std::size_t pos,
                                                    std::string_view pattern, bool after_two_byte) {
  last_match_ = {};
  const bool whole_word = is_whole_word_form(pattern);
  if (whole_word) {
    if (after_two_byte || (pos > 0 && is_name_byte(text[pos - 1]))) return std::nullopt;
    pattern = pattern.substr(1, pattern.size() - 2);
  }

  std::size_t p = 0;
  std::size_t t = pos;
  while (p < pattern.size() && t < text.size()) {
    const char c = pattern[p];
    if (c == '$' && p + 1 < pattern.size()) {
      if (std::string* buffer = capture_target(pattern[p + 1])) {
        const std::size_t run_start = t;
        t = run_end(text, t, pattern[p + 1]);
        keep_pending(buffer, text.substr(run_start, t - run_start));
        if (t == run_start) return std::nullopt;
        p += 2;
        continue;
      }
    }
    if (c == '\\') {
      if (p + 1 == pattern.size()) {
        p = pattern.size();
        break;
      }
      if (pattern[p + 1] != text[t]) return std::nullopt;
      p += 2;
      ++t;
    } else if (c == '?') {
      ++p;
      ++t;
    } else if (starts_two_byte_char(pattern, p)) {
      if (t + 1 >= text.size() || text[t] != c || text[t + 1] != pattern[p + 1]) return std::nullopt;
      p += 2;
      t += 2;
    } else {
      if (c != text[t]) return std::nullopt;
      ++p;
      ++t;
    }
  }

  // Pattern left over: the text ended first. A whole word must end at a boundary.
  if (p < pattern.size()) return std::nullopt;
  if (whole_word && t < text.size() && continues_word(text[t])) return std::nullopt;
  if (t == pos) return std::nullopt;
  last_match_ = text.substr(pos, t - pos);
  return t;
}

}  // namespace sornik
