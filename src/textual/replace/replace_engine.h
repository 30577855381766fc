// The replacement engine: from:to pairs of a template applied one after
// another to a text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "textual/replace/pattern_match.h"

namespace sornik {

// One from:to pair of a template, as slices of it. Backslashes are still in;
// the to-part is the text after the last colon of the pair.
struct TemplatePair {
  std::string_view from;
  std::string_view to;
};

// Cuts the pair that starts at `pos` of `templ` into `pair`; returns the
// position after it (past its comma), or nullopt when the pair has no colon.
std::optional<std::size_t> get_pair(std::string_view templ, std::size_t pos, TemplatePair& pair);

// The limits of the engine: the bytes of the result of one pair, and the
// bytes that the pairs of one call may read together.
struct ReplaceLimits {
  std::size_t result;
  std::size_t scan;
};

// The limits derived from the memory of the machine.
ReplaceLimits machine_replace_limits();

// The replacement engine of a run: its limits, its matcher with the captures
// that live from call to call, and the texts it reads and builds, which only
// grow, so that a call allocates nothing once they are large enough.
class ReplaceEngine {
 public:
  // An engine with `limits`, or with those of the machine.
  explicit ReplaceEngine(std::optional<ReplaceLimits> limits = std::nullopt)
      : limits_(limits ? *limits : machine_replace_limits()) {}
  ReplaceEngine(const ReplaceEngine&) = delete;
  ReplaceEngine& operator=(const ReplaceEngine&) = delete;

  const ReplaceLimits& limits() const { return limits_; }

  // The matcher, whose captures outlive each call.
  PatternMatcher& matcher() { return matcher_; }

  // Applies one pair to the whole of `text`, which may be the engine's last
  // result. Returns the result, valid until the next call, or nullopt after
  // a message. A result beyond the limit ends the run as memory that cannot
  // be had.
  std::optional<std::string_view> replace_pair(std::string_view text, std::string_view from,
                                               std::string_view to);

  // Applies the from:to pairs of `templ`, one after another, to `subject`.
  // The result lives until the next call; nullopt after a message. A result
  // beyond the limit, or pairs that would read more than the limit together,
  // end the run as memory that cannot be had.
  std::optional<std::string_view> replace_all(std::string_view templ, std::string_view subject);

 private:
  template <typename OnMatch>
  void for_each_match(std::string_view text, std::string_view pattern, OnMatch on_match);
  bool may_outgrow(std::string_view text, std::string_view to) const;
  std::size_t result_size(std::string_view text, std::string_view pattern, std::string_view to);
  void replace_matches(std::string_view text, std::string_view pattern, std::string_view to);

  ReplaceLimits limits_;
  PatternMatcher matcher_;
  // The text the current pair reads and the result it builds.
  std::string work_copy_;
  std::string result_;
};

}  // namespace sornik
