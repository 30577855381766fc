// Diagnostics of the run: errmsg's printf-like format over bytes, written to
// the error stream.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace sornik {

// One value of a diagnostic: "%c", "%d" and "%x" take an int, "%f" a double,
// "%s" a text (which may hold any byte, NUL included).
using ErrArg = std::variant<int, double, std::string_view>;

// Formats a diagnostic: a backslash escapes the next byte, "%c", "%d", "%x",
// "%f" and "%s" consume the next value, any other "%" pair is copied as it
// stands. At most about 1024 bytes are produced; a "%s" text is cut so that
// 256 of them stay free for what follows. The result lives until the next call.
std::string_view err_edit(std::string_view format, std::span<const ErrArg> args);

// Writes a diagnostic to the error stream, formatted when it holds a "%".
void errmsg_args(std::string_view format, std::span<const ErrArg> args);

// Writes a diagnostic with its values; see err_edit for the conversions.
template <typename... Args>
void errmsg(std::string_view format, const Args&... args) {
  const std::array<ErrArg, sizeof...(Args)> list{ErrArg(args)...};
  errmsg_args(format, list);
}

}  // namespace sornik
