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
// result. Returns the result, valid until the next call; nullopt after a message,
// or without one when the result would grow beyond 64 MiB.
std::optional<std::string_view> replace_pair(std::string_view text, std::string_view from,
                                             std::string_view to);

// Applies the from:to pairs of `templ`, one after another, to `subject`.
// The result lives until the next call; nullopt after a message, or without
// one when a result would grow beyond 64 MiB or the pairs together would
// scan more than 256 MiB.
std::optional<std::string_view> replace_all(std::string_view templ, std::string_view subject);

// Forgets the buffers and captures of the engine (start of a run).
void reset_replace_engine();

}  // namespace sornik
