#pragma once

#include <optional>
#include <string_view>

namespace sornik {

// Applies the from:to pairs of `templ`, one after another, to `subject`.
// The result lives until the next call; nullopt after a message.
std::optional<std::string_view> replace_all(std::string_view templ, std::string_view subject);

// Forgets the buffers and captures of the engine (start of a run).
void reset_replace_engine();

}  // namespace sornik
