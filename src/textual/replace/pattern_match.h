// Matching one pattern of a replacement template at one position
// (checkstr), and the captures it fills.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sornik {

// The capture buffers of the engine, one per class of "$A", "$a", "$d", "$g",
// "$c", "$x" and "$s" ("$$" in a pattern fills arg_A). They keep their content
// from one match attempt, pair and call to the next.
struct CaptureBuffers {
  std::string arg_A;
  std::string arg_a;
  std::string arg_d;
  std::string arg_g;
  std::string arg_c;
  std::string arg_x;
  std::string arg_s;
};

// The byte that every match of `pattern` begins with, when the pattern fixes
// one; lets a scan skip the positions where checkstr cannot match.
std::optional<char> first_byte_of_match(std::string_view pattern);

// The matcher of the engine and what its matches leave behind: the captures
// and the last match, kept from one attempt, pair and call to the next.
class PatternMatcher {
 public:
  PatternMatcher() = default;
  // The pending captures point at the matcher's own buffers.
  PatternMatcher(const PatternMatcher&) = delete;
  PatternMatcher& operator=(const PatternMatcher&) = delete;

  // Tries to match `pattern` at exactly `pos` of `text`. `after_two_byte`
  // tells that the character just before `pos` was a two-byte character.
  // Returns the position just after the match; a match of length zero counts
  // as none.
  std::optional<std::size_t> checkstr(std::string_view text, std::size_t pos, std::string_view pattern,
                                      bool after_two_byte);

  // The captures filled so far.
  const CaptureBuffers& captures();

  // The buffer that the sequence "$<letter>" of a replacement inserts, or
  // null when no capture class goes by that letter ("$" included).
  const std::string* capture_for(char letter);

  // The text of the last successful match; emptied by every match attempt.
  // It points into the text that checkstr was given.
  std::string_view from_arg() const { return last_match_; }

  // To be called before the text given to checkstr changes or goes away: the
  // captures it holds are copied into their buffers.
  void release_text();

 private:
  // A capture is kept as a slice of the text until the text is let go, so
  // that an attempt at every position of a long run does not copy the run
  // each time.
  struct PendingCapture {
    std::string* buffer = nullptr;
    std::string_view run;
  };

  // The last run found for one capture class in the text checkstr is given:
  // every position inside a run ends where the run ends, so a pattern tried
  // at each position of a long run reads it once, not once per position.
  struct KnownRun {
    const char* text = nullptr;
    std::size_t text_size = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
  };
  static constexpr std::size_t kClasses = 7;

  std::string* capture_target(char letter);
  void keep_pending(std::string* buffer, std::string_view run);
  void settle_captures();
  std::size_t run_end(std::string_view text, std::size_t pos, char letter);

  CaptureBuffers capture_buffers_;
  std::string_view last_match_;
  std::array<PendingCapture, kClasses> pending_captures_{};
  std::array<KnownRun, kClasses> known_runs_{};
};

}  // namespace sornik
