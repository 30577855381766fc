// The replacement engine: from:to pairs of a template applied one after
// another to a text.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

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

// Applies one pair to the whole of `text`, which may be the engine's last
// result. Returns the result, valid until the next call, or nullopt after a
// message. A result beyond the limit ends the run as memory that cannot be had.
std::optional<std::string_view> replace_pair(std::string_view text, std::string_view from,
                                             std::string_view to);

// Applies the from:to pairs of `templ`, one after another, to `subject`.
// The result lives until the next call; nullopt after a message. A result
// beyond the limit, or pairs that would read more than the limit together,
// end the run as memory that cannot be had.
std::optional<std::string_view> replace_all(std::string_view templ, std::string_view subject);

// The limits of the engine: the bytes of the result of one pair, and the
// bytes that the pairs of one call may read together.
struct ReplaceLimits {
  std::size_t result;
  std::size_t scan;
};

// The limits in force.
ReplaceLimits replace_limits();

// Sets the limits (nullopt: those derived from the memory of the machine);
// every run of the default mode sets those of its options.
void set_replace_limits(std::optional<ReplaceLimits> limits);

// Forgets the buffers and captures of the engine (start of a run).
void reset_replace_engine();

}  // namespace sornik
